# The files that make Murlen a desktop program, checked by the desktop's own
# validators. The package that installs them is checked by make test
# (tests/check_package.sh).
set(murlen_desktop ${CMAKE_SOURCE_DIR}/resources/desktop)
add_test(NAME desktop_entry
         COMMAND desktop-file-validate ${murlen_desktop}/org.murlen.Murlen.desktop)
add_test(NAME appstream_metainfo
         COMMAND appstreamcli validate --no-net ${murlen_desktop}/org.murlen.Murlen.metainfo.xml)
