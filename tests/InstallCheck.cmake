cmake_minimum_required(VERSION 3.25)
# Installs the build into PREFIX, and into a folder whose name a desktop entry must quote,
# and checks what a desktop needs from each: the program, a desktop entry that starts it
# by its full path (so also where the prefix's bin folder is not on PATH), and the icon
# that entry names.
find_program(GIO gio REQUIRED)
find_program(VALIDATE desktop-file-validate)
file(REMOVE_RECURSE ${PREFIX})
foreach(prefix_and_exec
    "${PREFIX}|${PREFIX}/bin/kestr"
    "${PREFIX}/a b$c|\"${PREFIX}/a b\\\\$c/bin/kestr\"")
  string(REPLACE "|" ";" pair "${prefix_and_exec}")
  list(GET pair 0 prefix)
  list(GET pair 1 exec)
  execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix}
    RESULT_VARIABLE result OUTPUT_QUIET)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${result}")
  endif()

  set(entry ${prefix}/share/applications/kestr.desktop)
  foreach(path bin/kestr share/applications/kestr.desktop share/icons/hicolor/scalable/apps/kestr.svg)
    if(NOT EXISTS ${prefix}/${path})
      message(FATAL_ERROR "not installed: ${path}")
    endif()
  endforeach()
  execute_process(COMMAND ${prefix}/bin/kestr --help RESULT_VARIABLE result OUTPUT_QUIET)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "the installed bin/kestr --help ends with ${result}")
  endif()
  file(STRINGS ${entry} lines)
  foreach(line "Type=Application" "Exec=${exec}" "Icon=kestr")
    if(NOT line IN_LIST lines)
      message(FATAL_ERROR "the desktop entry lacks ${line}: ${lines}")
    endif()
  endforeach()
  if(VALIDATE)
    execute_process(COMMAND ${VALIDATE} ${entry} RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
      message(FATAL_ERROR "desktop-file-validate rejects the entry")
    endif()
  endif()
  # Started as a desktop starts it, with the prefix's bin folder not on PATH; without a
  # display the program ends at once.
  execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=QT_QPA_PLATFORM --unset=DISPLAY --unset=WAYLAND_DISPLAY
      HOME=${PREFIX} PATH=/usr/bin:/bin ${GIO} launch ${entry}
    RESULT_VARIABLE result ERROR_VARIABLE error)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "gio launch cannot start the installed entry: ${error}")
  endif()
endforeach()
file(REMOVE_RECURSE ${PREFIX})
