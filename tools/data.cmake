# The panel disk data: the language files, button images and warning pictures of every
# language that has sources in data/lang/, written into ${CMAKE_BINARY_DIR}/data/Languages/.
# Included by the top CMakeLists.txt; the generators are the programs built from tools/*.cpp.

set(PANEL_DATA_SOURCE ${CMAKE_SOURCE_DIR}/data/lang)
set(PANEL_DATA_OUT ${CMAKE_BINARY_DIR}/data)
file(GLOB_RECURSE PANEL_DATA_INPUTS CONFIGURE_DEPENDS ${PANEL_DATA_SOURCE}/*.txt)

set(panel_data_stamps)
foreach(generator make_language_files make_button_bitmaps make_warning_pictures)
  if(TARGET ${generator})
    set(stamp ${CMAKE_BINARY_DIR}/panel_data_${generator}.stamp)
    add_custom_command(
      OUTPUT ${stamp}
      COMMAND ${generator} ${PANEL_DATA_SOURCE} ${PANEL_DATA_OUT}
      COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
      DEPENDS ${generator} ${PANEL_DATA_INPUTS}
      COMMENT "Generating panel data (${generator})"
      VERBATIM)
    list(APPEND panel_data_stamps ${stamp})
  endif()
endforeach()

add_custom_target(panel_data ALL DEPENDS ${panel_data_stamps})
