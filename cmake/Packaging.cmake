# The man page, the package documents, and the packages of this build's target (cpack, or
# cpack --preset): two .deb, libzappbase1 (the library and its catalog directory) and trcheck
# (the programs trcheck and trcoverage, their man pages and the examples), and one .tar.gz holding both trees, whose
# program finds the library relative to itself ($ORIGIN/../<libdir>). The .deb's program has no
# search path: the system's loader finds the library that libzappbase1 registers.

# The man pages name the directories this build was configured for.
set(manpages)
foreach(program trcheck trcoverage)
  configure_file(${PROJECT_SOURCE_DIR}/doc/${program}.1.in ${PROJECT_BINARY_DIR}/doc/${program}.1 @ONLY)
  add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/doc/${program}.1.gz
    COMMAND gzip -9nc ${PROJECT_BINARY_DIR}/doc/${program}.1 > ${PROJECT_BINARY_DIR}/doc/${program}.1.gz
    DEPENDS ${PROJECT_BINARY_DIR}/doc/${program}.1)
  list(APPEND manpages ${PROJECT_BINARY_DIR}/doc/${program}.1.gz)
endforeach()
# Debian's changelog of the release, compressed without a name or a time in the header.
set(changelog_gz ${PROJECT_BINARY_DIR}/packaging/changelog.gz)
add_custom_command(OUTPUT ${changelog_gz}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/packaging
  COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/packaging/changelog > ${changelog_gz}
  DEPENDS ${PROJECT_SOURCE_DIR}/packaging/changelog)
add_custom_target(manpage ALL DEPENDS ${manpages} ${changelog_gz})
install(FILES ${manpages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# Every package carries the licence and the changelog under its own name.
set(package_runtime trcheck)
set(package_library libzappbase1)
foreach(component runtime library)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${changelog_gz}
    DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${package_${component}} COMPONENT ${component})
endforeach()

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
# No package-wide summary: CPack would put it above each package's own description.
set(CPACK_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-${deb_arch})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_GENERATOR DEB TGZ)
# Stripped by PackagingStage.cmake as Debian strips its packages, with the target's strip.
set(CPACK_TRCHECK_STRIP ${CMAKE_STRIP})
# The header and the library's development link (component development) are not shipped.
set(CPACK_INSTALL_CMAKE_PROJECTS "${PROJECT_BINARY_DIR};${PROJECT_NAME};ALL;/")
set(CPACK_COMPONENTS_ALL library runtime)
set(CPACK_DEB_COMPONENT_INSTALL ON)
# The .tar.gz installs both components into one tree, under one top folder.
set(CPACK_TRCHECK_ARCHIVE_PROJECTS
  "${PROJECT_BINARY_DIR};${PROJECT_NAME};library;/;${PROJECT_BINARY_DIR};${PROJECT_NAME};runtime;/")
# Per generator: one .deb per component, one .tar.gz with both, every time in them
# SOURCE_DATE_EPOCH or else the time of the commit checked out when cpack runs; the .deb's
# program loses the search path that the .tar.gz needs.
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/PackagingPerGenerator.cmake)
set(CPACK_TRCHECK_SOURCE_DIR ${PROJECT_SOURCE_DIR})
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/PackagingStage.cmake)
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/PackagingRepack.cmake)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${deb_arch})
set(CPACK_DEBIAN_PACKAGE_SOURCE trcheck)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME trcheck)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION utils)
set(CPACK_COMPONENT_RUNTIME_DESCRIPTION
  "tells which source strings the platform translates
trcheck reads a plain text file with one source string per line, asks the
toolkit's translation lookup for each with the platform's catalogs, reports
a verdict per line and writes every translation into a table to review.

trcoverage reads the same file once for every language at once: how much
each language translates, which lines are missing where, and which lines
several components translate differently.

The package holds both programs, their manual pages and examples to try
them on.")
# Written out rather than found by dpkg-shlibdeps, which knows only the libraries installed on
# this machine, not the target's. The toolkit's version is the one built against, and so is
# ICU's, whose package is named for its soname's major version (libicu72 on Debian 12).
string(REGEX MATCH "^[0-9]+" icu_major "${ICU_VERSION}")
set(CPACK_DEBIAN_RUNTIME_PACKAGE_DEPENDS
  "libzappbase1 (= ${PROJECT_VERSION}), libc6 (>= 2.34), libgcc-s1, libstdc++6 (>= 12), libqt6core6 (>= ${Qt6Core_VERSION}), libicu${icu_major} (>= ${ICU_VERSION})")

set(CPACK_DEBIAN_LIBRARY_PACKAGE_NAME libzappbase1)
# Multi-Arch: same, so that the library of several architectures installs side by side (every
# file of the package is in an architecture's own directory or the same for all). CPack
# before 3.31 has no variable for the field; it writes the section as given, so the field rides
# on that line (package.sh checks the field).
set(CPACK_DEBIAN_LIBRARY_PACKAGE_SECTION "libs\nMulti-Arch: same")
set(CPACK_COMPONENT_LIBRARY_DESCRIPTION
  "platform library with the application object that installs catalogs
libzappbase provides ZApplication, the platform's application object. It
installs the translation catalogs of the platform's components for the
chosen language, from /usr/share/zappbase/translations unless told
otherwise.

The package holds the shared library and the empty catalog directory;
catalogs are added there as NAME_LOCALE.qm files.")
set(CPACK_DEBIAN_LIBRARY_PACKAGE_DEPENDS
  "libc6 (>= 2.34), libgcc-s1, libstdc++6 (>= 12), libqt6core6 (>= ${Qt6Core_VERSION})")
# Registered by a trigger and a shlibs file written here, not by the generator's maintainer
# scripts that call ldconfig. The symbols file, what the library exports and since which
# version, is made by PackagingStage.cmake for this architecture from
# packaging/libzappbase1/symbols and the library as packaged.
configure_file(${PROJECT_SOURCE_DIR}/packaging/libzappbase1/shlibs.in
  ${PROJECT_BINARY_DIR}/packaging/libzappbase1/shlibs @ONLY)
set(CPACK_TRCHECK_SYMBOLS_TEMPLATE ${PROJECT_SOURCE_DIR}/packaging/libzappbase1/symbols)
set(CPACK_TRCHECK_SYMBOLS ${PROJECT_BINARY_DIR}/packaging/libzappbase1/symbols)
get_target_property(library_version zappbase VERSION)
set(CPACK_TRCHECK_LIBRARY ${CMAKE_INSTALL_LIBDIR}/libzappbase.so.${library_version})
set(CPACK_DEBIAN_LIBRARY_PACKAGE_CONTROL_EXTRA
  ${PROJECT_SOURCE_DIR}/packaging/libzappbase1/triggers
  ${PROJECT_BINARY_DIR}/packaging/libzappbase1/shlibs
  ${CPACK_TRCHECK_SYMBOLS})

include(CPack)
