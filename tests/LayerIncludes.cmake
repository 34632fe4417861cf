# Includes point down the layers: the platform layer includes only itself, kestr_core
# includes no Qt and nothing of kestr_ui, the folders below the engines include no
# engine, the user interface (UI/, Tools/) includes nothing of App/, which wires it, and
# neither desktop of the platform includes the other.
# Run as a test: cmake -DSOURCE_DIR=<src> -P LayerIncludes.cmake
get_filename_component(SOURCE_DIR "${SOURCE_DIR}" ABSOLUTE)
set(faults "")

function(forbid folders pattern)
  foreach(folder IN LISTS folders)
    file(GLOB_RECURSE files "${SOURCE_DIR}/${folder}/*.h" "${SOURCE_DIR}/${folder}/*.cpp")
    foreach(file IN LISTS files)
      file(STRINGS "${file}" includes REGEX "^#include ")
      foreach(line IN LISTS includes)
        if(line MATCHES "^#include (${pattern})")
          file(RELATIVE_PATH name "${SOURCE_DIR}" "${file}")
          string(APPEND faults "  ${name}: ${line}\n")
        endif()
      endforeach()
    endforeach()
  endforeach()
  set(faults "${faults}" PARENT_SCOPE)
endfunction()

forbid("Platform" "\"(Core|Window|Space|Layout|Snap|DragSnap|EdgeResize|App|UI|Tools)/|<Q")
forbid("Core;Window;Space" "\"(Layout|Snap|DragSnap|EdgeResize|App|UI|Tools)/|<Q")
forbid("Layout;Snap;DragSnap;EdgeResize" "\"(App|UI|Tools)/|<Q")
forbid("UI;Tools" "\"App/")
# The two desktops are siblings on the neutral services of Platform/Host.
forbid("Platform/X11" "\"Platform/Sim/")
forbid("Platform/Sim" "\"Platform/X11/")
forbid("Platform/Host" "\"Platform/(Sim|X11)/")

if(faults)
  message(FATAL_ERROR "includes that run up a layer:\n${faults}")
endif()
