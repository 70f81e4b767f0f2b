# MATLAB on Apple silicon (natively since R2023b): arm64, dist/maca64/*.mexmaca64.
set(MEXTIME_MACOS_TARGET aarch64)  # Zig's name
set(MEXTIME_MACOS_ARCH arm64)      # the linker's
include(${CMAKE_CURRENT_LIST_DIR}/zig-macos.cmake)
