# Install layout under a prefix: the program in bin/, its data folder in share/orchardia/data
# (the program looks there when no data folder sits beside it), the desktop entry and the icon
# in the sizes desktops look for, rasterised from our own SVG at build time.
include(GNUInstallDirs)

find_program(VEK_RSVG rsvg-convert REQUIRED)
set(_icon_src ${PROJECT_SOURCE_DIR}/assets/desktop/orchardia.svg)
set(_icon_dir ${CMAKE_BINARY_DIR}/icons/hicolor)
set(_icons)
foreach(_size 16 24 32 48 64 128 256)
  set(_png ${_icon_dir}/${_size}x${_size}/apps/orchardia.png)
  add_custom_command(OUTPUT ${_png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${_icon_dir}/${_size}x${_size}/apps
    COMMAND ${VEK_RSVG} -w ${_size} -h ${_size} -o ${_png} ${_icon_src}
    DEPENDS ${_icon_src}
    COMMENT "Icon ${_size}x${_size}")
  list(APPEND _icons ${_png})
endforeach()
add_custom_target(vek_icons ALL DEPENDS ${_icons})

# Nothing is installed from a build that lacks part of it (a half-installed game is worse than
# none): the program, its data folder and the icons must all be there (`bash .ci/play` builds them).
set(_needed ${VEK_BIN_DIR}/orchardia ${VEK_BIN_DIR}/data/conf ${_icons})
install(CODE "
  set(_needed \"${_needed}\")
  foreach(_f IN LISTS _needed)
    if(NOT EXISTS \"\${_f}\")
      message(FATAL_ERROR \"\${_f} is missing: build the game before installing it (cmake --build ${CMAKE_BINARY_DIR} --target orchardia vek_data vek_icons)\")
    endif()
  endforeach()")
install(TARGETS orchardia RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${VEK_BIN_DIR}/data/ DESTINATION ${CMAKE_INSTALL_DATADIR}/orchardia/data)
install(FILES ${PROJECT_SOURCE_DIR}/assets/desktop/orchardia.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(DIRECTORY ${_icon_dir} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
install(FILES ${_icon_src} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
