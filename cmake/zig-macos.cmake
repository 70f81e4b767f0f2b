# macOS with Zig's clang (Zig 0.11.0, installed by scripts/lib.sh from
# cmake/zig/), which carries macOS's headers and libSystem's stubs: no Mac
# and no SDK needed. Included by maci64.cmake and maca64.cmake, which set
# MEXTIME_MACOS_TARGET and MEXTIME_MACOS_ARCH first. MEXTIME_ZIG: the zig
# program.
#
# The MEX files are linked by Debian's ld64.lld (cmake/Mex.cmake): Zig
# 0.11's own Mach-O linker exports hidden symbols too and takes no list of
# exports.
set(CMAKE_SYSTEM_NAME Darwin)
# The oldest macOS the files load on, written into their LC_BUILD_VERSION.
set(MEXTIME_MACOS_MINIMUM 11.0)

# Zig's compiler is the subcommand `zig c++`; CMake keeps what follows the
# program as the compiler's first arguments.
if(NOT MEXTIME_ZIG AND DEFINED ENV{MEXTIME_ZIG})
  set(MEXTIME_ZIG $ENV{MEXTIME_ZIG})
endif()
if(NOT MEXTIME_ZIG)
  message(FATAL_ERROR "MEXTIME_ZIG: the zig program is not given (scripts/lib.sh installs it)")
endif()
# Checks of the compiler build small projects of their own: they need it too.
set(ENV{MEXTIME_ZIG} ${MEXTIME_ZIG})
set(CMAKE_CXX_COMPILER ${MEXTIME_ZIG} c++ -target ${MEXTIME_MACOS_TARGET}-macos.${MEXTIME_MACOS_MINIMUM})
set(CMAKE_SYSTEM_PROCESSOR ${MEXTIME_MACOS_ARCH})
get_filename_component(zig_dir ${MEXTIME_ZIG} DIRECTORY)
# The stubs of libSystem as macOS 11 has it: what the files may call.
set(MEXTIME_MACOS_LIBSYSTEM ${zig_dir}/lib/libc/darwin/libSystem.11.tbd)
set(MEXTIME_MACOS_LINKER ld64.lld-14)

# Debian's LLVM archives Mach-O objects with the index lld reads, and reads
# the files for the binary checks.
set(CMAKE_AR llvm-ar-14)
set(CMAKE_RANLIB llvm-ranlib-14)
set(CMAKE_INSTALL_NAME_TOOL llvm-install-name-tool-14)
set(MEXTIME_LLVM_OBJDUMP llvm-objdump-14)
set(MEXTIME_LLVM_NM llvm-nm-14)

# Zig's own target, not an SDK's: no sysroot, no -arch, no version flag.
set(CMAKE_OSX_SYSROOT "" CACHE PATH "" FORCE)
set(CMAKE_OSX_ARCHITECTURES "" CACHE STRING "" FORCE)
set(CMAKE_OSX_DEPLOYMENT_TARGET "" CACHE STRING "" FORCE)

# Headers and libraries come from Zig alone.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
