# Shared by the per-target toolchain files, which set TRCHECK_TARGET (the Debian architecture),
# TRCHECK_TRIPLET (its multiarch name), TRCHECK_COMPILER_PREFIX (Debian's cross compiler for
# it), the processor and the emulator. Builds against the target's own toolkit, unpacked by
# scripts/sysroot.sh into .sysroots/<target>, and runs the target's programs under qemu.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_C_COMPILER ${TRCHECK_COMPILER_PREFIX}-gcc)
set(CMAKE_CXX_COMPILER ${TRCHECK_COMPILER_PREFIX}-g++)
set(CMAKE_LIBRARY_ARCHITECTURE ${TRCHECK_TRIPLET})

get_filename_component(TRCHECK_SYSROOT "${CMAKE_CURRENT_LIST_DIR}/../../.sysroots/${TRCHECK_TARGET}"
                       ABSOLUTE)
if(NOT EXISTS "${TRCHECK_SYSROOT}/.complete")
  message(FATAL_ERROR "No sysroot for ${TRCHECK_TARGET}: run scripts/sysroot.sh ${TRCHECK_TARGET}")
endif()

# The compiler brings its own C library; only the toolkit and its dependencies come from the
# sysroot, so it is a root to search, not the compiler's --sysroot.
set(CMAKE_FIND_ROOT_PATH "${TRCHECK_SYSROOT}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The toolkit's build tools are the build machine's. Without the CMake directory the imported
# host tools would be looked for inside the sysroot.
set(QT_HOST_PATH /usr)
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake)

# QtCore's own dependencies (ICU, GLib, ...) are found at link time in the sysroot; nothing
# of the sysroot is recorded in the binaries.
set(_trcheck_rpath_link
    "-Wl,-rpath-link,${TRCHECK_SYSROOT}/lib/${TRCHECK_TRIPLET}"
    "-Wl,-rpath-link,${TRCHECK_SYSROOT}/usr/lib/${TRCHECK_TRIPLET}")
string(JOIN " " _trcheck_rpath_link ${_trcheck_rpath_link})
set(CMAKE_EXE_LINKER_FLAGS_INIT "${_trcheck_rpath_link}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${_trcheck_rpath_link}")

# ctest runs every test, the end-to-end runs included, on the target.
set(CMAKE_CROSSCOMPILING_EMULATOR ${TRCHECK_EMULATOR} -L "${TRCHECK_SYSROOT}")
