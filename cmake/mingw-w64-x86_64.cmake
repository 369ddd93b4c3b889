# Cross build for 64-bit Windows with Debian's MinGW-w64 (the -posix compilers: GoogleTest needs
# their std::thread and std::mutex). Programs link statically (libgcc, libstdc++, winpthread),
# so they run without MinGW DLLs, and run under Wine through scripts/wine-run.sh.
#
#   cmake -S . -B build-mingw -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
#   cmake --build build-mingw -j2
#   bash scripts/test-windows.sh build-mingw     # or ctest in build-mingw

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VLX_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VLX_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VLX_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VLX_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VLX_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# <windows.h> otherwise defines min and max as macros and pulls in much we never use.
set(CMAKE_C_FLAGS_INIT "-DWIN32_LEAN_AND_MEAN -DNOMINMAX")
set(CMAKE_CXX_FLAGS_INIT "-DWIN32_LEAN_AND_MEAN -DNOMINMAX")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Test programs (and GoogleTest's discovery) run under Wine with the build folder's own prefix.
get_filename_component(VLX_WINE_RUN ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${VLX_WINE_RUN})
# List the tests when ctest runs, not while building: the build then needs no Wine at all.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
