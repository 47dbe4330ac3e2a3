# Runs at install time: writes the menu entry MURLEN_DESKTOP_ENTRY into
# PREFIX/share/applications with Exec naming PREFIX/bin/murlen.
if(CMAKE_INSTALL_PREFIX MATCHES "[\"`$\\\\%]")
    # These would need the desktop entry's own quoting rules.
    message(FATAL_ERROR "The installation folder must not contain \" ` $ \\ or %: ${CMAKE_INSTALL_PREFIX}")
endif()
get_filename_component(prefix "${CMAKE_INSTALL_PREFIX}" ABSOLUTE)
file(READ "${MURLEN_DESKTOP_ENTRY}" entry)
string(REGEX REPLACE "\nExec=[^\n]*" "\nExec=\"${prefix}/bin/murlen\"" entry "${entry}")
get_filename_component(name "${MURLEN_DESKTOP_ENTRY}" NAME)
set(target "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/share/applications/${name}")
message(STATUS "Installing: ${target}")
file(WRITE "${target}" "${entry}")
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${target}")
