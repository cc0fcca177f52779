# Cross-building for 64-bit Windows with Debian's MinGW-w64: the posix
# flavour of GCC (std::thread and std::mutex need it), its windres, and
# libraries and headers from the MinGW tree only. Both the Windows Qt and
# the game are built with this file.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VORARID_WINDOWS_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VORARID_WINDOWS_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VORARID_WINDOWS_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VORARID_WINDOWS_TRIPLE}-windres)

# Programs (Qt's moc and rcc among them) come from the build machine;
# everything linked into the program from the Windows side.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${VORARID_WINDOWS_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
