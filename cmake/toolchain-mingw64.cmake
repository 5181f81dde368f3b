# Cross-building for 64-bit Windows with Debian's MinGW-w64 (posix thread model, so std::thread and
# std::mutex work). With a Qt for MinGW, Qt's own qt.toolchain.cmake loads this one through
# QT_CHAINLOAD_TOOLCHAIN_FILE (see scripts/windows).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(KESTREL_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KESTREL_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KESTREL_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${KESTREL_MINGW}-windres)
set(CMAKE_AR /usr/bin/${KESTREL_MINGW}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB /usr/bin/${KESTREL_MINGW}-ranlib CACHE FILEPATH "")
set(CMAKE_FIND_ROOT_PATH /usr/${KESTREL_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
