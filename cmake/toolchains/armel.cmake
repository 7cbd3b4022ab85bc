# armel: ARM EABI, soft float.
set(CMAKE_SYSTEM_PROCESSOR arm)
set(TRCHECK_TARGET armel)
set(TRCHECK_TRIPLET arm-linux-gnueabi)
set(TRCHECK_COMPILER_PREFIX arm-linux-gnueabi)
set(TRCHECK_EMULATOR qemu-arm)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
