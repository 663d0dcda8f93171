# Cross-building for Windows x64 with Debian's MinGW-w64 (posix thread
# model). The static Qt for Windows is given as CMAKE_PREFIX_PATH; the tests
# run under Wine (windows/wine-run.sh) through CTest.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(OFFICER_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${OFFICER_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${OFFICER_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${OFFICER_MINGW}-windres)

# Every program links the C and C++ runtimes and winpthreads statically, so
# that it needs only Windows' own DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)

set(CMAKE_FIND_ROOT_PATH /usr/${OFFICER_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Qt's package files lie outside the MinGW root, in the Qt prefix.
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../windows/wine-run.sh)
