# Installing like a desktop program (cmake --install BUILD --prefix PREFIX, or
# `make install`):
#   PREFIX/lib/murlen/      the program folder: murlen, the figure list, the
#                           shape files, the help pages and their pictures
#   PREFIX/bin/murlen       a launcher that starts the program in that folder
#   PREFIX/share/applications, metainfo, icons/hicolor
#                           the menu entry, the software centre's description
#                           and the heart in the icon theme's sizes
# Needs the target murlen and MURLEN_PROGRAM_FILES of the top-level build file.
set(MURLEN_INSTALL_FOLDER lib/murlen)
set(murlen_desktop ${CMAKE_SOURCE_DIR}/resources/desktop)

install(TARGETS murlen RUNTIME DESTINATION ${MURLEN_INSTALL_FOLDER})
install(FILES ${MURLEN_PROGRAM_FILES} DESTINATION ${MURLEN_INSTALL_FOLDER})
install(PROGRAMS ${murlen_desktop}/murlen.sh DESTINATION bin RENAME murlen)
install(FILES ${murlen_desktop}/org.murlen.Murlen.metainfo.xml DESTINATION share/metainfo)

# The icons are drawn by tools/make_help_pictures as murlen-SIZE.png.
file(GLOB murlen_icons CONFIGURE_DEPENDS ${murlen_desktop}/icons/murlen-*.png)
foreach(icon ${murlen_icons})
    string(REGEX REPLACE ".*murlen-([0-9]+)\\.png$" "\\1" size ${icon})
    install(FILES ${icon} DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME org.murlen.Murlen.png)
endforeach()

# The menu entry names the launcher by its full path, known only at install
# time, so that the desktop finds it also when PREFIX/bin is not on its PATH.
install(CODE "set(MURLEN_DESKTOP_ENTRY [[${murlen_desktop}/org.murlen.Murlen.desktop]])")
install(SCRIPT ${CMAKE_CURRENT_LIST_DIR}/install_desktop_entry.cmake)
