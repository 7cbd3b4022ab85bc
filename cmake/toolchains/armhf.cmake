# armhf: ARM EABI, hard float (VFP).
set(CMAKE_SYSTEM_PROCESSOR arm)
set(TRCHECK_TARGET armhf)
set(TRCHECK_TRIPLET arm-linux-gnueabihf)
set(TRCHECK_COMPILER_PREFIX arm-linux-gnueabihf)
set(TRCHECK_EMULATOR qemu-arm)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
