# MATLAB on Intel Macs: x86_64, dist/maci64/*.mexmaci64.
set(MEXTIME_MACOS_TARGET x86_64)  # Zig's name
set(MEXTIME_MACOS_ARCH x86_64)    # the linker's
include(${CMAKE_CURRENT_LIST_DIR}/zig-macos.cmake)
