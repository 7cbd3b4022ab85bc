# Run by cpack on the staged files (one folder per component for the .deb) before each generator
# packs them.

# Stripped as Debian strips its packages: no symbol table or debug information, and none of the
# sections that only name the tools that made the file (.comment, .note); a library keeps only
# the symbols that relocations need.
file(GLOB_RECURSE staged LIST_DIRECTORIES false "${CPACK_TEMPORARY_DIRECTORY}/*")
foreach(file IN LISTS staged)
  if(IS_SYMLINK "${file}")
    continue()
  endif()
  file(READ "${file}" magic LIMIT 4 HEX)
  if(NOT magic STREQUAL "7f454c46")
    continue()
  endif()
  set(unneeded)
  if(file MATCHES "\\.so(\\.[0-9]+)*$")
    set(unneeded --strip-unneeded)
  endif()
  execute_process(COMMAND "${CPACK_TRCHECK_STRIP}" --remove-section=.comment --remove-section=.note
                          ${unneeded} "${file}"
    COMMAND_ERROR_IS_FATAL ANY)
endforeach()

if(NOT CPACK_GENERATOR STREQUAL "DEB")
  return()
endif()

# The .deb's programs lose their search path: installed in /usr/bin, they find libzappbase.so.1
# through the system's loader, where libzappbase1 registers it.
file(GLOB programs "${CPACK_TEMPORARY_DIRECTORY}/*/usr/bin/*")
if(NOT programs)
  message(FATAL_ERROR "No program staged in ${CPACK_TEMPORARY_DIRECTORY}")
endif()
foreach(program IN LISTS programs)
  file(RPATH_REMOVE FILE "${program}")
endforeach()

# The library's symbols file for this architecture, made by Debian's own tool from
# packaging/libzappbase1/symbols and the library as staged: what it exports, by mangled name,
# and the version that brought each. package.sh checks that the library exports exactly what
# packaging/libzappbase1/symbols lists.
set(library "${CPACK_TEMPORARY_DIRECTORY}/library${CPACK_PACKAGING_INSTALL_PREFIX}/${CPACK_TRCHECK_LIBRARY}")
file(REMOVE "${CPACK_TRCHECK_SYMBOLS}")
find_program(DPKG_GENSYMBOLS dpkg-gensymbols)
if(NOT DPKG_GENSYMBOLS)
  message(FATAL_ERROR "dpkg-gensymbols is missing: scripts/install-deps.sh package installs it")
endif()
# DEB_HOST_ARCH makes it read a target's library with that target's objdump.
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env DEB_HOST_ARCH=${CPACK_DEBIAN_PACKAGE_ARCHITECTURE}
          ${DPKG_GENSYMBOLS} -q -c0 -plibzappbase1 -a${CPACK_DEBIAN_PACKAGE_ARCHITECTURE}
          -v${CPACK_PACKAGE_VERSION} -P${CPACK_TEMPORARY_DIRECTORY}/library -e${library}
          -I${CPACK_TRCHECK_SYMBOLS_TEMPLATE} -O${CPACK_TRCHECK_SYMBOLS}
  COMMAND_ERROR_IS_FATAL ANY)
