# The files that make Murlen a desktop program, checked by the desktop's own
# validators, and `make install` into a scratch folder of the build.
set(murlen_desktop ${CMAKE_SOURCE_DIR}/resources/desktop)
add_test(NAME desktop_entry
         COMMAND desktop-file-validate ${murlen_desktop}/org.murlen.Murlen.desktop)
add_test(NAME appstream_metainfo
         COMMAND appstreamcli validate --no-net ${murlen_desktop}/org.murlen.Murlen.metainfo.xml)
add_test(NAME install_tree
         COMMAND ${CMAKE_CURRENT_LIST_DIR}/check_install.sh
                 ${CMAKE_BINARY_DIR} ${CMAKE_BINARY_DIR}/install-check ${CMAKE_SOURCE_DIR})
