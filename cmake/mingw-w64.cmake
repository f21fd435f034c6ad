# Cross-build for 64-bit Windows with mingw-w64 (Debian's g++-mingw-w64-x86-64-posix).
#
# The posix thread model gives std::thread and std::atomic their full library
# support. Every executable links libgcc, libstdc++ and winpthread statically
# (-static), so a built .exe runs under Wine or on Windows with no DLL beside it.
#
# -municode is deliberately not set here: it makes the linker look for
# wmain/wWinMain, while the GoogleTest runner and the tools use plain main.
# Targets that are the Windows program opt in with tarnwell_windows_program()
# from cmake/windows-program.cmake.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TARNWELL_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TARNWELL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TARNWELL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TARNWELL_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TARNWELL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

