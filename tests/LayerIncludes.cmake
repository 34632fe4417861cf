# Includes point down the layers: the platform layer includes only itself, kestr_core
# includes no Qt and nothing of kestr_ui, the folders below the engines include no
# engine, the user interface (UI/, Tools/) includes nothing of App/, which wires it, and
# neither desktop of the platform includes the other. Above the platform only the start-up
# that chooses the desktop names one, and only the X11 desktop speaks xcb.
# A folder above is caught whether it is named in quotes or in angle brackets.
# Run as a test: cmake -DSOURCE_DIR=<src> -P LayerIncludes.cmake
get_filename_component(SOURCE_DIR "${SOURCE_DIR}" ABSOLUTE)
set(faults "")

# Folders (or single files, named with their extension) whose includes must not match
# `pattern`; an optional third argument is a regular expression of the paths (relative
# to src/) that may.
function(forbid folders pattern)
  set(allowed "${ARGV2}")
  foreach(folder IN LISTS folders)
    if(folder MATCHES "\\.(h|cpp)$")
      set(files "")
      if(EXISTS "${SOURCE_DIR}/${folder}")
        set(files "${SOURCE_DIR}/${folder}")
      endif()
    else()
      file(GLOB_RECURSE files "${SOURCE_DIR}/${folder}/*.h" "${SOURCE_DIR}/${folder}/*.cpp")
    endif()
    foreach(file IN LISTS files)
      file(RELATIVE_PATH relative "${SOURCE_DIR}" "${file}")
      if(allowed AND relative MATCHES "${allowed}")
        continue()
      endif()
      file(STRINGS "${file}" includes REGEX "^#include ")
      foreach(line IN LISTS includes)
        if(line MATCHES "^#include (${pattern})")
          string(APPEND faults "  ${relative}: ${line}\n")
        endif()
      endforeach()
    endforeach()
  endforeach()
  set(faults "${faults}" PARENT_SCOPE)
endfunction()

forbid("Platform" "[\"<](Core|Window|Space|Layout|Snap|DragSnap|EdgeResize|App|UI|Tools)/|<Q")
forbid("Core;Window;Space" "[\"<](Layout|Snap|DragSnap|EdgeResize|App|UI|Tools)/|<Q")
forbid("Layout;Snap;DragSnap;EdgeResize" "[\"<](App|UI|Tools)/|<Q")
forbid("UI;Tools" "[\"<]App/")
# The two desktops are siblings on the neutral services of Platform/Host.
forbid("Platform/X11" "[\"<]Platform/Sim/")
forbid("Platform/Sim" "[\"<]Platform/X11/")
forbid("Platform/Host" "[\"<]Platform/(Sim|X11)/")
set(aboveThePlatform "main.cpp;App;UI;Tools;Core;Window;Space;Layout;Snap;DragSnap;EdgeResize")
forbid("${aboveThePlatform}" "[\"<]Platform/(Sim|X11)/"
       "^(main\\.cpp|App/DesktopBackend\\.(h|cpp)|App/SimBackend\\.(h|cpp))$")
forbid("${aboveThePlatform};Platform" "<xcb/" "^Platform/X11/")

if(faults)
  message(FATAL_ERROR "includes that run up a layer:\n${faults}")
endif()
