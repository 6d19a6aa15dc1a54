# Cross-compiles for 64-bit Windows with Debian's mingw-w64 (the posix thread
# model, whose std::thread and std::mutex the demo's capture uses). Used for
# the libraries scripts/windows.sh builds and for the demo itself:
#
#   cmake -DCMAKE_TOOLCHAIN_FILE=win/mingw-w64-x86_64.cmake
#         -DCMAKE_FIND_ROOT_PATH=<prefix of the cross-built libraries> ...
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)
set(CMAKE_AR ${triple}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${triple}-ranlib CACHE FILEPATH "")

# Headers and libraries come from the mingw-w64 tree and the prefixes given
# on the command line, never from the build machine; programs from the host.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
