# Installation and the Debian package: the program, its desktop entry, icons, AppStream data,
# translations (po/CMakeLists.txt), manual page, systemd user unit and the shipped pest table. The program finds its shared files
# relative to its own location, so a staged (DESTDIR) or moved installation works.
set(TESSOLON_APP_ID org.veldran.Tessolon)
target_compile_definitions(tessolon_app PRIVATE TESSOLON_APP_ID="${TESSOLON_APP_ID}")

install(TARGETS tessolon RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS tessolon_windows tessolon_audio LIBRARY DESTINATION ${TESSOLON_MODULE_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/data/para.dbf ${PROJECT_SOURCE_DIR}/data/idx.ndx
  DESTINATION ${TESSOLON_DATA_DIR})
# The desktop entry and the AppStream data as po/CMakeLists.txt builds them, with their
# translations.
install(FILES ${PROJECT_BINARY_DIR}/dist/${TESSOLON_APP_ID}.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_BINARY_DIR}/dist/${TESSOLON_APP_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# The copyright file and the change log (compressed without a time stamp, for reproducible
# packages) in the place Debian's policy gives them.
set(changelog ${PROJECT_BINARY_DIR}/doc/changelog.gz)
add_custom_command(OUTPUT ${changelog}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/doc
  COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/dist/changelog > ${changelog}
  DEPENDS ${PROJECT_SOURCE_DIR}/dist/changelog)
add_custom_target(tessolon_changelog ALL DEPENDS ${changelog})
install(FILES ${PROJECT_SOURCE_DIR}/dist/copyright ${changelog}
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tessolon)

# Icons: the drawing, and PNGs rendered from it at the usual theme sizes.
set(TESSOLON_ICON_SIZES 16 22 24 32 48 64 128 256)
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
set(icon_svg ${PROJECT_SOURCE_DIR}/dist/icons/tessolon.svg)
set(icon_pngs)
foreach(size ${TESSOLON_ICON_SIZES})
  set(png ${PROJECT_BINARY_DIR}/icons/${size}x${size}/tessolon.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/icons/${size}x${size}
    COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${icon_svg}
    DEPENDS ${icon_svg} VERBATIM)
  list(APPEND icon_pngs ${png})
  install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
add_custom_target(tessolon_icons ALL DEPENDS ${icon_pngs})
install(FILES ${icon_svg} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# The manual page, made by help2man from the program's own --help texts (the main one and each
# command's), so that it cannot drift from them.
find_program(HELP2MAN help2man REQUIRED)
set(man_page ${PROJECT_BINARY_DIR}/man/tessolon.1.gz)
add_custom_command(OUTPUT ${man_page}
  COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:tessolon> -DHELP2MAN=${HELP2MAN}
          -DOUTPUT=${man_page} -P ${PROJECT_SOURCE_DIR}/cmake/ManPage.cmake
  DEPENDS tessolon ${PROJECT_SOURCE_DIR}/cmake/ManPage.cmake VERBATIM)
add_custom_target(tessolon_man ALL DEPENDS ${man_page})
install(FILES ${man_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The systemd user units name the program by the prefix it is installed under, which is known
# only when installing (a package installs under its own prefix): the sweep and the sweep by
# night. The night's timer names no program.
install(CODE "
  set(unit_dir \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/lib/systemd/user\")
  set(TESSOLON_BIN \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/tessolon\")
  foreach(unit tessolon-sweep@.service tessolon-sweep-nightly@.service)
    configure_file(\"${PROJECT_SOURCE_DIR}/dist/\${unit}.in\" \"\${unit_dir}/\${unit}\" @ONLY)
    message(STATUS \"Installing: \${unit_dir}/\${unit}\")
  endforeach()
")
install(FILES ${PROJECT_SOURCE_DIR}/dist/tessolon-sweep-nightly@.timer
  DESTINATION lib/systemd/user)

include(cmake/Package.cmake)
