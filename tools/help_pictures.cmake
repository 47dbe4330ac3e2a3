# make_help_pictures: draws the help pages' pictures and the desktop icons with
# the game's own code into the source tree (run by hand, the result committed).
# Kept out of the program folder.
add_executable(make_help_pictures ${CMAKE_SOURCE_DIR}/tools/make_help_pictures.cpp)
target_link_libraries(make_help_pictures PRIVATE murlen_about)
set_target_properties(make_help_pictures PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)
