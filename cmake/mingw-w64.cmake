# 64-bit Windows with MinGW-w64 (Debian g++-mingw-w64-x86-64); the Windows
# programs built here run under Wine, so ctest can run the Windows tests.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MINGW_PREFIX x86_64-w64-mingw32)
# The posix thread model: GoogleTest needs std::mutex, which the win32 model
# lacks. Its threads library, winpthread, is linked statically where used.
set(CMAKE_C_COMPILER ${MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_PREFIX}-windres)
set(CMAKE_DLLTOOL ${MINGW_PREFIX}-dlltool)
set(CMAKE_OBJDUMP ${MINGW_PREFIX}-objdump)

set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Debian's wine64 keeps its loader in Wine's library folder, off PATH.
find_program(MEXTIME_WINE NAMES wine64 wine
  PATHS /usr/lib/wine /usr/lib64/wine /opt/wine-stable/bin
  NO_CMAKE_FIND_ROOT_PATH)
if(MEXTIME_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${MEXTIME_WINE})
endif()
