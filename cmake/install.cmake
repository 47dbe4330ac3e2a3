# Installs Murlen as the games that ship with Debian are installed (cmake
# --install BUILD --prefix /usr; the Debian package does this, make package):
#   PREFIX/games/murlen                  the program
#   PREFIX/share/games/murlen/           the figure list, the figures' shape
#                                        files, the help pages and their pictures
#   PREFIX/share/applications, metainfo  the menu entry, the software centre's file
#   PREFIX/share/icons/hicolor           the heart in the icon theme's sizes
#   PREFIX/share/man/man6/murlen.6       the manual page
# The program finds its files from its own folder (MURLEN_SHIPPED_FROM_PROGRAM),
# so the tree runs wherever it is unpacked; nothing in it is written at run time.
# Needs the target murlen and MURLEN_PROGRAM_FILES of the top-level build file.
set(murlen_desktop ${CMAKE_SOURCE_DIR}/resources/desktop)

install(TARGETS murlen RUNTIME DESTINATION ${MURLEN_INSTALL_PROGRAM_DIR})
install(FILES ${MURLEN_PROGRAM_FILES} DESTINATION ${MURLEN_INSTALL_DATA_DIR})
install(FILES ${murlen_desktop}/org.murlen.Murlen.desktop DESTINATION share/applications)
install(FILES ${murlen_desktop}/org.murlen.Murlen.metainfo.xml DESTINATION share/metainfo)
install(FILES ${murlen_desktop}/murlen.6 DESTINATION share/man/man6)

# The icons are drawn by tools/make_help_pictures as murlen-SIZE.png.
file(GLOB murlen_icons CONFIGURE_DEPENDS ${murlen_desktop}/icons/murlen-*.png)
foreach(icon ${murlen_icons})
    string(REGEX REPLACE ".*murlen-([0-9]+)\\.png$" "\\1" size ${icon})
    install(FILES ${icon} DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME org.murlen.Murlen.png)
endforeach()
