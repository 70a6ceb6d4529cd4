# The rule the folders keep (docs/architecture.md), checked on the sources as they stand:
#   - Qt only under gui/;
#   - a layer includes only from itself and the layers below it: core < draw < cli, and
#     core < draw < gui, with fits (FITS files, beside the core) open to cli and gui; nothing outside gui/ includes from gui/, nothing outside cli/ from cli/;
#   - no window includes another window's header: a window's files include no *_window.h but
#     its own and the base windows (plot_window.h, method_window.h, range_window.h). The
#     wiring (gui_main.cpp, method_windows.*) and the plot/edit window's launcher are no
#     windows: they bring the windows together.
# Run as: cmake -DSOURCE=<top of the tree> -P layers_check.cmake
file(GLOB_RECURSE sources RELATIVE ${SOURCE} ${SOURCE}/timing/*.h ${SOURCE}/timing/*.cpp
     ${SOURCE}/converter/*.h ${SOURCE}/converter/*.cpp)
set(broken "")
set(below_core "timing/core/")
set(below_fits "timing/core/|timing/fits/")
set(below_draw "timing/core/|timing/draw/")
set(below_cli "timing/core/|timing/fits/|timing/draw/|timing/cli/")
set(below_gui "timing/core/|timing/fits/|timing/draw/|timing/gui/")
foreach(file IN LISTS sources)
  file(STRINGS ${SOURCE}/${file} includes REGEX "^[ \t]*#[ \t]*include")
  file(STRINGS ${SOURCE}/${file} qobject REGEX "Q_OBJECT")
  string(REGEX MATCH "^(timing|converter)/([a-z]+)/" layer_path "${file}")
  set(program ${CMAKE_MATCH_1})
  set(layer ${CMAKE_MATCH_2})
  get_filename_component(name ${file} NAME_WE)
  foreach(line IN LISTS includes)
    string(REGEX MATCH "[<\"]([^>\"]+)[>\"]" _ "${line}")
    set(included ${CMAKE_MATCH_1})
    if(NOT layer STREQUAL "gui" AND included MATCHES "^Q")
      list(APPEND broken "${file}: Qt outside gui/ (${included})")
    endif()
    if(included MATCHES "^(timing|converter)/([a-z]+)/")
      set(to_program ${CMAKE_MATCH_1})
      set(to_layer ${CMAKE_MATCH_2})
      if(NOT to_program STREQUAL program)
        list(APPEND broken "${file}: includes the other program (${included})")
      elseif(program STREQUAL "timing" AND DEFINED below_${layer}
             AND NOT included MATCHES "^(${below_${layer}})")
        list(APPEND broken "${file}: ${layer}/ includes from ${to_layer}/ (${included})")
      elseif(program STREQUAL "converter" AND layer STREQUAL "core" AND NOT to_layer STREQUAL "core")
        list(APPEND broken "${file}: core/ includes from ${to_layer}/ (${included})")
      endif()
    endif()
    if(name MATCHES "_window$" AND included MATCHES "/([a-z_]+_window)\\.h$")
      set(to_window ${CMAKE_MATCH_1})
      if(NOT to_window MATCHES "^(${name}|plot_window|method_window|range_window)$")
        list(APPEND broken "${file}: a window includes another window's header (${included})")
      endif()
    endif()
  endforeach()
  if(qobject AND NOT layer STREQUAL "gui")
    list(APPEND broken "${file}: Q_OBJECT outside gui/")
  endif()
endforeach()
list(LENGTH sources count)
if(broken)
  list(JOIN broken "\n  " text)
  message(FATAL_ERROR "The layers' rule is broken:\n  ${text}")
endif()
message(STATUS "${count} files keep the layers' rule")
