# The man page, and the .deb and .tar.gz of this build's target (cpack, or cpack --preset).
# Both hold the same tree: bin/trcheck, libzappbase.so.1 with its real file, the man page and
# the examples. The program's RUNPATH ($ORIGIN/../<libdir>) finds the library in either.

# The man page names the directories this build was configured for.
configure_file(${PROJECT_SOURCE_DIR}/doc/trcheck.1.in ${PROJECT_BINARY_DIR}/doc/trcheck.1 @ONLY)
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/doc/trcheck.1.gz
  COMMAND gzip -9nc ${PROJECT_BINARY_DIR}/doc/trcheck.1 > ${PROJECT_BINARY_DIR}/doc/trcheck.1.gz
  DEPENDS ${PROJECT_BINARY_DIR}/doc/trcheck.1)
add_custom_target(manpage ALL DEPENDS ${PROJECT_BINARY_DIR}/doc/trcheck.1.gz)
install(FILES ${PROJECT_BINARY_DIR}/doc/trcheck.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

if(NOT CMAKE_INSTALL_PREFIX STREQUAL "/usr")
  message(STATUS "Packages: the .deb installs into /usr, but this build looks for catalogs in "
                 "${ZAPPBASE_TRANSLATIONS_DIR}; configure with a preset for packages")
endif()

# The Debian architecture of what this build makes: the target's when cross-compiling (set by
# the toolchain file), otherwise this machine's.
if(DEFINED TRCHECK_TARGET)
  set(deb_arch ${TRCHECK_TARGET})
else()
  execute_process(COMMAND dpkg --print-architecture
    OUTPUT_VARIABLE deb_arch OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
endif()

set(CPACK_PACKAGE_NAME trcheck)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "trcheck developers")
set(CPACK_PACKAGE_CONTACT "trcheck developers <trcheck@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "tells which source strings the platform translates")
set(CPACK_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-${deb_arch})
set(CPACK_GENERATOR DEB TGZ)
set(CPACK_STRIP_FILES ON)
# Only what runs: the header and the library's development symlink stay out.
set(CPACK_INSTALL_CMAKE_PROJECTS "${PROJECT_BINARY_DIR};${PROJECT_NAME};runtime;/")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${deb_arch})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "trcheck reads a plain text file with one source string per line, asks the
toolkit's translation lookup for each with the platform's catalogs, reports
a verdict per line and writes every translation into a table to review.

The package holds the platform library libzappbase.so.1 the tool runs on.")
# Written out rather than found by dpkg-shlibdeps, which knows only the libraries installed on
# this machine, not the target's. The toolkit's version is the one built against.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "libc6 (>= 2.34), libgcc-s1, libstdc++6, libqt6core6 (>= ${Qt6Core_VERSION})")
# The shlibs file and the ldconfig trigger for the library.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)

include(CPack)
