# What `cmake --install` puts under the prefix besides the programs: the panel data in
# share/corvex-display (its hard links kept), the desktop entry, a manual page per program and
# the kiosk's systemd unit. Files that name installed paths are written at install time, so
# they name the prefix given to `cmake --install --prefix`, not the one configured.
# Included by the top CMakeLists.txt.

set(CORVEX_SYSTEMD_UNIT_DIR "lib/systemd/system" CACHE STRING
    "where the kiosk's systemd unit is installed, relative to the prefix")

# The panel data. install(DIRECTORY) would turn every hard link into a copy of its own and
# triple the data; cp keeps them. The folder is replaced whole, so no picture of an earlier
# install lingers, and every file goes into the install manifest.
install(CODE "set(corvex_data_from \"${CMAKE_BINARY_DIR}/data\")
set(corvex_data_subdir \"${CORVEX_DATA_INSTALL_SUBDIR}\")")
install(CODE [[
  set(corvex_data_to "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${corvex_data_subdir}")
  if(NOT IS_DIRECTORY "${corvex_data_from}/Languages")
    message(WARNING "no panel data in ${corvex_data_from}: build the panel_data target first")
  else()
    message(STATUS "Installing: ${corvex_data_to} (panel data)")
    file(REMOVE_RECURSE "${corvex_data_to}")
    file(MAKE_DIRECTORY "${corvex_data_to}")
    execute_process(
      COMMAND cp -R --no-dereference --preserve=links,mode,timestamps
              "${corvex_data_from}/." "${corvex_data_to}/"
      RESULT_VARIABLE corvex_copied)
    if(NOT corvex_copied EQUAL 0)
      message(FATAL_ERROR "cannot copy the panel data to ${corvex_data_to}")
    endif()
    file(GLOB_RECURSE corvex_data_files "${corvex_data_to}/*")
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES ${corvex_data_files})
  endif()
]])

install(FILES ${CMAKE_SOURCE_DIR}/packaging/corvex-display.1 ${CMAKE_SOURCE_DIR}/packaging/corvex-sim.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The desktop entry and the unit name the installed program by its full path.
install(CODE "set(corvex_packaging \"${CMAKE_SOURCE_DIR}/packaging\")
set(corvex_bindir \"${CMAKE_INSTALL_BINDIR}\")
set(corvex_unitdir \"${CORVEX_SYSTEMD_UNIT_DIR}\")
set(corvex_appdir \"${CMAKE_INSTALL_DATADIR}/applications\")")
install(CODE [[
  set(CORVEX_PROGRAM "${CMAKE_INSTALL_PREFIX}/${corvex_bindir}/corvex-display")
  foreach(corvex_file "${corvex_appdir}/corvex-display.desktop"
                      "${corvex_unitdir}/corvex-display.service")
    get_filename_component(corvex_name "${corvex_file}" NAME)
    set(corvex_to "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${corvex_file}")
    message(STATUS "Installing: ${corvex_to}")
    configure_file("${corvex_packaging}/${corvex_name}.in" "${corvex_to}" @ONLY)
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${corvex_to}")
  endforeach()
]])
