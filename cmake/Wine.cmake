# Running this build's Windows programs under Wine: <build>/wine wraps the
# loader the toolchain file found, with a Wine prefix of the build's own, no
# Wine debug chatter, and the stand-in host's DLLs on the search path. It
# becomes the cross-compiling emulator, so ctest and test discovery use it.
#   <build>/wine PROGRAM [ARG...]    runs a Windows program
#   <build>/wine --server [ARG...]   runs Wine's server (-p: stay up, -k: stop)
if(NOT MEXTIME_WINE)
  message(STATUS "Wine not found: the Windows tests cannot run here")
  return()
endif()

get_filename_component(wine_dir ${MEXTIME_WINE} DIRECTORY)
# wineserver64 first: Debian's wineserver script forces a zero linger time.
find_program(MEXTIME_WINESERVER NAMES wineserver64 wineserver
  HINTS ${wine_dir} PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH REQUIRED)

set(MEXTIME_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
# The stand-in host's folder (host/CMakeLists.txt), where libmx.dll and
# libmex.dll are; under Wine a program sees the Unix root as drive Z:.
string(REPLACE "/" "\\" MEXTIME_WINEPATH "Z:${MEXTIME_DIST_DIR}/mexhost/win64")

configure_file(${CMAKE_CURRENT_LIST_DIR}/wine.sh.in ${CMAKE_BINARY_DIR}/wine
  FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                   WORLD_READ WORLD_EXECUTE
  @ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine)
