# Cross-building for 64-bit Windows with Debian's mingw-w64 (the posix thread model, which
# std::thread and Qt need). Used for Qt itself and for the program.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ZL_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ZL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ZL_MINGW_TRIPLE}-windres)
# Find libraries and headers for the target only; programs (moc, rcc, uic) come from the host.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${ZL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# No mingw DLLs to ship: the C and C++ runtimes and winpthreads go into the .exe.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
