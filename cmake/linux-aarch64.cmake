# Linux on aarch64 (NEON, an unsigned char) under qemu-user.
set(CMAKE_SYSTEM_PROCESSOR aarch64)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
