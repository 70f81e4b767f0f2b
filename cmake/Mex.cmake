# Turning sources into MEX files for a given host, and binding the host
# libraries from the export lists kept in gateway/.

set(MEXTIME_GATEWAY_DIR ${CMAKE_CURRENT_LIST_DIR}/../gateway)
cmake_path(NORMAL_PATH MEXTIME_GATEWAY_DIR)
set(MEXTIME_HELP_DIR ${CMAKE_CURRENT_LIST_DIR}/../help)
cmake_path(NORMAL_PATH MEXTIME_HELP_DIR)
# The counter every family reads: clockread's timebase.
set(MEXTIME_COUNTER_DIR ${CMAKE_CURRENT_LIST_DIR}/../clock)
cmake_path(NORMAL_PATH MEXTIME_COUNTER_DIR)
# The Windows API the MEX files are written against: Windows 7's, as
# mexbuild.m declares it to a lab PC's compiler, whose headers may be older
# than ours. Whatever is newer the files declare and look up themselves.
set(MEXTIME_WIN32_WINNT 0x0601)

# A Windows target's sources see Windows 7's API, as with mexbuild.m, and are
# listed in the tree's compile_commands.json for the older headers' check.
function(mextime_windows_api target)
  if(WIN32)
    target_compile_definitions(${target} PRIVATE _WIN32_WINNT=${MEXTIME_WIN32_WINNT})
    set_target_properties(${target} PROPERTIES EXPORT_COMPILE_COMMANDS ON)
  endif()
endfunction()

# The names listed under EXPORTS in a module-definition file.
function(mextime_def_names def out_var)
  # What is made from the names is made at configure time: a changed list
  # configures again.
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${def})
  file(STRINGS ${def} lines)
  set(names)
  set(in_exports FALSE)
  foreach(line IN LISTS lines)
    string(STRIP "${line}" line)
    if(line STREQUAL "EXPORTS")
      set(in_exports TRUE)
    elseif(in_exports AND line MATCHES "^[A-Za-z_][A-Za-z0-9_]*$")
      list(APPEND names ${line})
    endif()
  endforeach()
  set(${out_var} ${names} PARENT_SCOPE)
endfunction()

# An ELF version script exporting exactly the names of a module-definition
# file, so Linux and Windows builds share one export list.
function(mextime_version_script def out)
  mextime_def_names(${def} names)
  list(JOIN names ";\n    " body)
  file(CONFIGURE OUTPUT ${out} CONTENT "{\n  global:\n    ${body};\n  local: *;\n};\n" @ONLY)
endfunction()

# Limits a shared library's exports to a module-definition file's names.
function(mextime_export_only target def)
  if(WIN32)
    target_sources(${target} PRIVATE ${def})
  else()
    get_filename_component(stem ${def} NAME_WE)
    set(map ${CMAKE_BINARY_DIR}/exports/${stem}.map)
    mextime_version_script(${def} ${map})
    target_link_options(${target} PRIVATE "LINKER:--version-script=${map}")
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${map})
  endif()
endfunction()

# What a deliverable links to for a MATLAB host library (mx or mex): built
# from gateway/lib<name>.def alone, never from the stand-in host, so the
# files load in a real MATLAB. Windows: an import library for lib<name>.dll.
# Linux: an empty libmx.so/libmex.so carrying the names, which puts the
# library among the deliverable's needed ones.
function(mextime_host_import name)
  set(target mextime_import_${name})
  if(TARGET ${target})
    return()
  endif()
  set(def ${MEXTIME_GATEWAY_DIR}/lib${name}.def)
  set(dir ${CMAKE_BINARY_DIR}/imports)
  if(WIN32)
    set(implib ${dir}/lib${name}.dll.a)
    add_custom_command(OUTPUT ${implib}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
      COMMAND ${CMAKE_DLLTOOL} --input-def ${def} --dllname lib${name}.dll --output-lib ${implib}
      DEPENDS ${def} VERBATIM)
    add_custom_target(${target}_implib DEPENDS ${implib})
    add_library(${target} SHARED IMPORTED GLOBAL)
    set_target_properties(${target} PROPERTIES IMPORTED_IMPLIB ${implib})
    add_dependencies(${target} ${target}_implib)
  else()
    mextime_def_names(${def} names)
    set(source "// Link-time stand-in: MATLAB's own lib${name}.so is loaded at run time.\n")
    foreach(n IN LISTS names)
      string(APPEND source "extern \"C\" void ${n}() {}\n")
    endforeach()
    file(CONFIGURE OUTPUT ${dir}/lib${name}_stub.cpp CONTENT "${source}" @ONLY)
    add_library(${target} SHARED ${dir}/lib${name}_stub.cpp)
    set_target_properties(${target} PROPERTIES OUTPUT_NAME ${name}
      LIBRARY_OUTPUT_DIRECTORY ${dir})
  endif()
endfunction()

# The help that MATLAB and Octave show for a MEX target: help/<name>.m,
# comments only, copied beside the MEX file. In one folder the MEX file is
# the one called, and `help` reads the .m file.
function(mextime_add_help name target)
  set(help ${MEXTIME_HELP_DIR}/${name}.m)
  if(NOT EXISTS ${help})
    message(FATAL_ERROR "${name}: no help file ${help}")
  endif()
  get_target_property(folder ${target} LIBRARY_OUTPUT_DIRECTORY)
  add_custom_command(OUTPUT ${folder}/${name}.m
    COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
    COMMAND ${CMAKE_COMMAND} -E copy ${help} ${folder}/${name}.m
    DEPENDS ${help} VERBATIM)
  add_custom_target(${target}_help ALL DEPENDS ${folder}/${name}.m)
endfunction()

# Where a MEX file's platform operations are taken from: each family folder
# implements an operation in <part>_<system>.cpp, or in <part>_posix.cpp
# where every POSIX system shares it, or in <part>.cpp where every system
# does. The first file found is taken.
if(WIN32)
  set(MEXTIME_PLATFORMS win32)
elseif(APPLE)
  set(MEXTIME_PLATFORMS darwin posix)
  # MATLAB's folder name for the architecture, which is also the suffix's.
  if(MEXTIME_MACOS_TARGET STREQUAL "aarch64")
    set(MEXTIME_MACOS_FOLDER maca64)
  else()
    set(MEXTIME_MACOS_FOLDER maci64)
  endif()
  # A MEX file is a dylib, which dyld and MATLAB load as they load a
  # bundle, linked by lld against libSystem's stubs alone (the toolchain
  # file tells why not by Zig), signed ad hoc where arm64 needs it.
  set(CMAKE_CXX_CREATE_SHARED_MODULE "${MEXTIME_MACOS_LINKER} -arch ${MEXTIME_MACOS_ARCH} \
-platform_version macos ${MEXTIME_MACOS_MINIMUM} ${MEXTIME_MACOS_MINIMUM} -dylib <LINK_FLAGS> \
-o <TARGET> <OBJECTS> <LINK_LIBRARIES> ${MEXTIME_MACOS_LIBSYSTEM}")
else()
  set(MEXTIME_PLATFORMS linux posix)
endif()

# The file of <part> (a path without the suffix) for this build's platform;
# empty where there is none.
function(mextime_platform_source_or_none part out_var)
  get_filename_component(dir ${part} DIRECTORY)
  if(NOT IS_ABSOLUTE "${dir}")
    set(part ${CMAKE_CURRENT_SOURCE_DIR}/${part})
  endif()
  set(${out_var} "" PARENT_SCOPE)
  foreach(file IN LISTS MEXTIME_PLATFORMS ITEMS "")
    if(file)
      set(file _${file})
    endif()
    if(EXISTS ${part}${file}.cpp)
      set(${out_var} ${part}${file}.cpp PARENT_SCOPE)
      return()
    endif()
  endforeach()
endfunction()

# The same, where a missing file is an error.
function(mextime_platform_source part out_var)
  mextime_platform_source_or_none(${part} source)
  if(NOT source)
    message(FATAL_ERROR "${part}: no file for ${MEXTIME_PLATFORMS}")
  endif()
  set(${out_var} ${source} PARENT_SCOPE)
endfunction()

# The counter for one host's MEX files, as an archive: a file takes from it
# only what it calls, so a function that reads the counter on one platform
# alone binds nothing of it on the other.
function(mextime_counter_library host out_var)
  set(target mextime_counter_${host})
  if(NOT TARGET ${target})
    mextime_platform_source(${MEXTIME_COUNTER_DIR}/counter source)
    add_library(${target} STATIC ${source})
    set_target_properties(${target} PROPERTIES POSITION_INDEPENDENT_CODE ON
      CXX_VISIBILITY_PRESET hidden)
    target_include_directories(${target} PUBLIC ${MEXTIME_COUNTER_DIR})
    target_link_libraries(${target} PRIVATE mextime_gateway)
    mextime_windows_api(${target})
    if(NOT host STREQUAL "octave")
      target_link_libraries(${target} PRIVATE mextime_sanitize)
    endif()
  endif()
  set(${out_var} ${target} PARENT_SCOPE)
endfunction()

# mextime_add_mex(<name> SOURCE <file> HOST <matlab|octave> [COUNTER]
#                 [PLATFORM <part>...] [HOST_LIBS mx mex])
# One MEX file of <name> for one host, written to dist/<folder>/, built from
# the entry file and the platform file of each platform part, and with
# COUNTER the counter in clock/:
#   matlab: dist/glnxa64/<name>.mexa64 or dist/win64/<name>.mexw64
#   octave: dist/octave/<name>.mex
function(mextime_add_mex name)
  cmake_parse_arguments(MEX "COUNTER" "SOURCE;HOST" "PLATFORM;HOST_LIBS" ${ARGN})
  set(target ${name}_${MEX_HOST})
  if(MEX_HOST STREQUAL "matlab")
    if(WIN32)
      set(folder win64)
      set(suffix .mexw64)
    elseif(APPLE)
      set(folder ${MEXTIME_MACOS_FOLDER})
      set(suffix .mex${MEXTIME_MACOS_FOLDER})
    else()
      set(folder glnxa64)
      set(suffix .mexa64)
    endif()
  elseif(MEX_HOST STREQUAL "octave")
    set(folder octave)
    set(suffix .mex)
  else()
    message(FATAL_ERROR "mextime_add_mex: unknown host '${MEX_HOST}'")
  endif()

  set(sources ${MEX_SOURCE})
  foreach(part IN LISTS MEX_PLATFORM)
    mextime_platform_source(${part} source)
    list(APPEND sources ${source})
  endforeach()
  add_library(${target} MODULE ${sources})
  target_link_libraries(${target} PRIVATE mextime_gateway)
  mextime_windows_api(${target})
  if(MEX_COUNTER)
    mextime_counter_library(${MEX_HOST} counter)
    target_link_libraries(${target} PRIVATE ${counter})
  endif()
  # No run path: the host finds libmx and libmex by name, and a path into
  # this build tree would only leak it (and invite a planted library).
  set_target_properties(${target} PROPERTIES
    OUTPUT_NAME ${name} PREFIX "" SUFFIX ${suffix}
    CXX_VISIBILITY_PRESET hidden
    SKIP_BUILD_RPATH ON
    LIBRARY_OUTPUT_DIRECTORY ${MEXTIME_DIST_DIR}/${folder})
  # Released files carry no symbols or debug information (the C runtime's
  # start-up objects bring theirs on Windows); the unwind tables stay. The
  # sanitizer tree keeps them for its reports.
  if(APPLE)
    # lld keeps a Mach-O file's symbol table (dyld binds through it) but
    # drops any debug information.
    target_link_options(${target} PRIVATE -S)
  elseif(NOT MEXTIME_SANITIZE)
    target_link_options(${target} PRIVATE $<$<NOT:$<CONFIG:Debug,RelWithDebInfo>>:-s>)
  endif()
  if(MEX_HOST STREQUAL "octave")
    # Octave resolves the mx/mex names from its own process when it loads
    # the file, as mkoctfile --mex builds it.
    target_compile_definitions(${target} PRIVATE MEXTIME_HOST_OCTAVE)
  else()
    if(APPLE)
      # MATLAB's libraries are not at a path a Mac file could name: the
      # host's calls are left to be found in the running process.
      target_link_options(${target} PRIVATE "SHELL:-undefined dynamic_lookup")
    else()
      foreach(lib IN LISTS MEX_HOST_LIBS)
        mextime_host_import(${lib})
        target_link_libraries(${target} PRIVATE mextime_import_${lib})
      endforeach()
    endif()
    # Sanitized with the stand-in host that runs them (MEXTIME_SANITIZE).
    target_link_libraries(${target} PRIVATE mextime_sanitize)
    if(NOT WIN32 AND NOT APPLE)
      target_link_options(${target} PRIVATE "LINKER:--no-undefined")
    endif()
  endif()
  if(APPLE)
    # The file names itself by its file name alone, not by where it was
    # built; dead code goes.
    target_link_options(${target} PRIVATE "SHELL:-exported_symbol _mexFunction"
      "SHELL:-install_name ${name}${suffix}" -dead_strip)
  elseif(WIN32)
    target_sources(${target} PRIVATE ${MEXTIME_GATEWAY_DIR}/mexfunction.def)
    # No libgcc DLL: the file needs only the C runtime besides its imports.
    target_link_options(${target} PRIVATE -static-libgcc)
  else()
    # The C++ driver links libstdc++ and libgcc_s, which nothing here calls:
    # dropped, the file needs no C++ runtime beside the host's.
    target_link_options(${target} PRIVATE "LINKER:--as-needed"
      "LINKER:--version-script=${CMAKE_BINARY_DIR}/exports/mexfunction.map")
  endif()
endfunction()

# One deliverable, built for every host this build targets. The tests take
# every deliverable (MEXTIME_DELIVERABLES) and depend on its MEX targets
# (MEXTIME_MEX_TARGETS).
function(mextime_add_deliverable name)
  cmake_parse_arguments(DEL "COUNTER" "SOURCE" "PLATFORM;HOST_LIBS" ${ARGN})
  # macOS gets a function once each of its parts has a Darwin or POSIX file.
  if(APPLE)
    foreach(part IN LISTS DEL_PLATFORM)
      mextime_platform_source_or_none(${part} source)
      if(NOT source)
        message(STATUS "${name}: not built for macOS, no Darwin file of ${part}")
        return()
      endif()
    endforeach()
  endif()
  set(counter)
  if(DEL_COUNTER)
    set(counter COUNTER)
  endif()
  foreach(host IN LISTS MEXTIME_HOSTS)
    mextime_add_mex(${name} SOURCE ${DEL_SOURCE} HOST ${host} ${counter}
                    PLATFORM ${DEL_PLATFORM} HOST_LIBS ${DEL_HOST_LIBS})
    mextime_add_help(${name} ${name}_${host})
    set_property(GLOBAL APPEND PROPERTY MEXTIME_MEX_TARGETS ${name}_${host})
  endforeach()
  set_property(GLOBAL APPEND PROPERTY MEXTIME_DELIVERABLES ${name})
endfunction()
