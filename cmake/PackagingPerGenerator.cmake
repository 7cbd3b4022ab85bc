# Read by cpack once per generator: the .tar.gz is one tree of both components, installed one
# after the other, rather than an archive per component.
if(CPACK_GENERATOR STREQUAL "TGZ")
  set(CPACK_INSTALL_CMAKE_PROJECTS "${CPACK_TRCHECK_ARCHIVE_PROJECTS}")
endif()

# Every time in the packages is SOURCE_DATE_EPOCH; unless given, the time of the commit checked
# out, read now rather than when the build was configured, so that a commit made since counts.
# The generators and PackagingRepack.cmake read it from cpack's environment.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  execute_process(COMMAND git -C "${CPACK_TRCHECK_SOURCE_DIR}" log -1 --format=%ct
    OUTPUT_VARIABLE commit_time ERROR_VARIABLE git_error RESULT_VARIABLE status
    OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_STRIP_TRAILING_WHITESPACE)
  if(NOT status EQUAL 0 OR NOT commit_time MATCHES "^[0-9]+$")
    message(FATAL_ERROR "Cannot read the commit's time in ${CPACK_TRCHECK_SOURCE_DIR} for the "
      "packages' times (${status}: ${git_error}); set SOURCE_DATE_EPOCH instead")
  endif()
  set(ENV{SOURCE_DATE_EPOCH} ${commit_time})
endif()
