# Cross-build for 32-bit Windows with mingw-w64. The posix thread model by default:
# GoogleTest needs std::mutex. The program itself has one thread; built alone
# (-DKWIX_MINGW_THREADS=win32, BUILD_TESTING off) it is spared the winpthread library.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(KWIX_MINGW_THREADS posix CACHE STRING "Thread model of the mingw-w64 compiler: posix or win32")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES KWIX_MINGW_THREADS)
set(CMAKE_C_COMPILER   i686-w64-mingw32-gcc-${KWIX_MINGW_THREADS})
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-${KWIX_MINGW_THREADS})
set(CMAKE_RC_COMPILER  i686-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Everything static: the programs import only Windows' own DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Test programs run under Wine; the prefix lives in the build folder (set by the test command).
find_program(KWIX_WINE NAMES wine PATHS /usr/lib/wine NO_DEFAULT_PATH)
set(CMAKE_CROSSCOMPILING_EMULATOR ${KWIX_WINE})
