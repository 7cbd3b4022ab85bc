# Catalogs are compiled by the build machine's lrelease, also when cross-compiling.
find_program(LRELEASE_EXECUTABLE NAMES lrelease-qt6 lrelease
             PATHS /usr/lib/qt6/bin /usr/lib/qt6/libexec
             NO_CMAKE_FIND_ROOT_PATH REQUIRED)

# add_catalogs(TARGET OUTPUT_DIR TS_FILE...): one NAME.qm in OUTPUT_DIR per NAME.ts.
function(add_catalogs target output_dir)
  set(catalogs)
  foreach(ts IN LISTS ARGN)
    get_filename_component(source "${ts}" ABSOLUTE)
    get_filename_component(name "${ts}" NAME_WE)
    set(qm "${output_dir}/${name}.qm")
    add_custom_command(OUTPUT "${qm}"
      COMMAND "${CMAKE_COMMAND}" -E make_directory "${output_dir}"
      COMMAND "${LRELEASE_EXECUTABLE}" -silent "${source}" -qm "${qm}"
      DEPENDS "${source}"
      VERBATIM)
    list(APPEND catalogs "${qm}")
  endforeach()
  add_custom_target(${target} ALL DEPENDS ${catalogs})
endfunction()
