# Memory checks of the code that runs in the stand-in host: a sanitizer build
# (MEXTIME_SANITIZE) and valgrind's memcheck (ctest -T memcheck).

# MEXTIME_SANITIZE: AddressSanitizer and UndefinedBehaviorSanitizer for the
# stand-in host, the MATLAB-host deliverables and the suite. Octave's files
# are left out: Octave is not built with the sanitizers, so it could not load
# them. Targets opt in by linking mextime_sanitize, which is empty when the
# option is off; tests take MEXTIME_SANITIZE_ENVIRONMENT, so any report
# fails the test.
option(MEXTIME_SANITIZE "Build the stand-in host, the MATLAB-host deliverables and the suite with ASan and UBSan" OFF)

add_library(mextime_sanitize INTERFACE)
set(MEXTIME_SANITIZE_ENVIRONMENT "")

if(MEXTIME_SANITIZE)
  if(WIN32)
    message(FATAL_ERROR "MEXTIME_SANITIZE: MinGW-w64 has no sanitizer runtime")
  endif()
  # float-cast-overflow is not part of "undefined": a double turned into a
  # millisecond count is exactly what it watches.
  set(flags -fsanitize=address,undefined,float-cast-overflow
            -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_compile_options(mextime_sanitize INTERFACE ${flags})
  target_link_options(mextime_sanitize INTERFACE ${flags})
  set(MEXTIME_SANITIZE_ENVIRONMENT
    "ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1"
    "UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1")
endif()

# `ctest -T memcheck` runs each test under memcheck. Set before
# include(CTest), which writes them into the dashboard configuration. Any
# error, or memory lost for good, makes the test exit non-zero.
find_program(MEMORYCHECK_COMMAND valgrind)
set(MEMORYCHECK_COMMAND_OPTIONS
  "--error-exitcode=99 --leak-check=full --show-leak-kinds=definite,possible --errors-for-leak-kinds=definite,possible --track-origins=yes --num-callers=40")
