# Read by cpack once per generator: the .tar.gz is one tree of both components, installed one
# after the other, rather than an archive per component.
if(CPACK_GENERATOR STREQUAL "TGZ")
  set(CPACK_INSTALL_CMAKE_PROJECTS "${CPACK_TRCHECK_ARCHIVE_PROJECTS}")
endif()
