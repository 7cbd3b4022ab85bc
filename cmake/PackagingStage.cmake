# Run by cpack on the staged files (one folder per component) before each generator packs them.
# The .deb's programs lose their search path: installed in /usr/bin, they find libzappbase.so.1
# through the system's loader, where libzappbase1 registers it.
if(CPACK_GENERATOR STREQUAL "DEB")
  file(GLOB programs "${CPACK_TEMPORARY_DIRECTORY}/*/usr/bin/*")
  if(NOT programs)
    message(FATAL_ERROR "No program staged in ${CPACK_TEMPORARY_DIRECTORY}")
  endif()
  foreach(program IN LISTS programs)
    file(RPATH_REMOVE FILE "${program}")
  endforeach()
endif()
