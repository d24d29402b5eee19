# Cross-build for 64-bit Windows with mingw-w64 (posix thread model: GoogleTest needs
# std::mutex). Used for the Wine tiers on machines that cannot run 32-bit processes:
# long double is the same x87 80-bit type there as in the 32-bit program.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER   x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER  x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Everything static: the programs import only Windows' own DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Test programs run under Wine; the prefix lives in the build folder (set by the test command).
find_program(KWIX_WINE NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
set(CMAKE_CROSSCOMPILING_EMULATOR ${KWIX_WINE})
