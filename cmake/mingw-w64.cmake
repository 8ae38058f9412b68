# Cross-builds the Windows DLL with Debian's MinGW-w64 (posix thread model, so
# that std::thread and std::recursive_mutex exist) and runs what it builds
# under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

# Appended, so that a prefix given on the command line is searched too.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The GCC runtime, libstdc++ and winpthread go into every DLL and program, so
# that they run without the MinGW DLLs beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
set(CMAKE_SHARED_LINKER_FLAGS_INIT -static)
set(CMAKE_MODULE_LINKER_FLAGS_INIT -static)

# Programs run under Wine in a prefix of the build's own; wine64 runs them
# without the 32-bit loader that the `wine` wrapper asks for.
find_program(QUIRE_WINE NAMES wine64 wine PATHS /usr/lib/wine REQUIRED)
find_program(QUIRE_WINESERVER NAMES wineserver64 wineserver PATHS /usr/lib/wine REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh
  ${CMAKE_BINARY_DIR}/wineprefix ${QUIRE_WINESERVER} ${QUIRE_WINE})
# Wine shows the Unix root as drive Z:, where the programs find the build tree.
set(QUIRE_TARGET_ROOT Z:)
