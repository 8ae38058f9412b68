# Cross-builds for Linux on the processor that the including file names
# (CMAKE_SYSTEM_PROCESSOR) with Debian's cross compiler, and runs what it
# builds under qemu-user with that processor's libraries.
set(CMAKE_SYSTEM_NAME Linux)
set(QUIRE_TRIPLET ${CMAKE_SYSTEM_PROCESSOR}-linux-gnu)
# GoogleTest's project enables C as well.
set(CMAKE_C_COMPILER ${QUIRE_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${QUIRE_TRIPLET}-g++)

# Appended, so that a prefix given on the command line is searched too.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${QUIRE_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# qemu looks up every path under -L first: the target's loader and C++
# runtime come from there, anything else from the machine itself.
find_program(QUIRE_QEMU qemu-${CMAKE_SYSTEM_PROCESSOR} REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${QUIRE_QEMU} -L /usr/${QUIRE_TRIPLET})
