# What every folder that gets MEX files holds besides them: the overview of
# the functions, help/Contents.m.in with the version and the release date,
# as Contents.m, which MATLAB shows for `help <folder>` and `ver`, and as
# mextime.m, which gives `help mextime` in MATLAB and Octave whatever the
# folder is called; and the self-check, selfcheck/mextimecheck.m with the
# version, and the functions it calls, selfcheck/private/, beside it.

# The release date of a version, from its CHANGELOG.md heading, as MATLAB
# writes it in a Contents.m (09-Dec-2026).
function(mextime_release_date version out_var)
  set(changelog ${CMAKE_SOURCE_DIR}/CHANGELOG.md)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${changelog})
  string(REPLACE "." "\\." pattern "${version}")
  file(STRINGS ${changelog} heading REGEX "^## ${pattern} - [0-9]+-[0-9]+-[0-9]+$")
  if(NOT heading MATCHES "([0-9]+)-([0-9]+)-([0-9]+)$")
    message(FATAL_ERROR "CHANGELOG.md has no '## ${version} - <date>' heading")
  endif()
  set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
  math(EXPR month "${CMAKE_MATCH_2} - 1")
  list(GET months ${month} month)
  set(${out_var} "${CMAKE_MATCH_3}-${month}-${CMAKE_MATCH_1}" PARENT_SCOPE)
endfunction()

# After every deliverable is added: those files in each output folder, and a
# target dist_<folder> that builds exactly that folder (scripts/demo builds
# dist_octave alone).
function(mextime_add_contents)
  mextime_release_date(${PROJECT_VERSION} MEXTIME_RELEASE_DATE)
  set(contents ${CMAKE_BINARY_DIR}/Contents.m)
  configure_file(${MEXTIME_HELP_DIR}/Contents.m.in ${contents} @ONLY)
  set(selfcheck ${CMAKE_BINARY_DIR}/mextimecheck.m)
  configure_file(${CMAKE_SOURCE_DIR}/selfcheck/mextimecheck.m ${selfcheck} @ONLY)
  file(GLOB private_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/selfcheck/private/*.m)
  get_property(mex_targets GLOBAL PROPERTY MEXTIME_MEX_TARGETS)
  set(folders)
  foreach(target IN LISTS mex_targets)
    get_target_property(folder ${target} LIBRARY_OUTPUT_DIRECTORY)
    get_filename_component(stem ${folder} NAME)
    list(APPEND folders ${folder})
    list(APPEND dist_${stem} ${target} ${target}_help)
  endforeach()
  list(REMOVE_DUPLICATES folders)
  foreach(folder IN LISTS folders)
    get_filename_component(stem ${folder} NAME)
    set(files ${folder}/Contents.m ${folder}/mextime.m ${folder}/mextimecheck.m)
    set(private_files)
    foreach(source IN LISTS private_sources)
      get_filename_component(name ${source} NAME)
      list(APPEND private_files ${folder}/private/${name})
    endforeach()
    # private/ anew, so that a file removed from the source leaves no copy.
    add_custom_command(OUTPUT ${files} ${private_files}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
      COMMAND ${CMAKE_COMMAND} -E copy ${contents} ${folder}/Contents.m
      COMMAND ${CMAKE_COMMAND} -E copy ${contents} ${folder}/mextime.m
      COMMAND ${CMAKE_COMMAND} -E copy ${selfcheck} ${folder}/mextimecheck.m
      COMMAND ${CMAKE_COMMAND} -E rm -rf ${folder}/private
      COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/selfcheck/private ${folder}/private
      DEPENDS ${contents} ${selfcheck} ${private_sources} VERBATIM)
    add_custom_target(contents_${stem} ALL DEPENDS ${files} ${private_files})
    add_custom_target(dist_${stem} DEPENDS contents_${stem} ${dist_${stem}})
  endforeach()
endfunction()
