# The desktop window (SDL2), the shell's place in the input path, and the choice between the
# window and headless; included by this folder's CMakeLists.txt. SDL2 comes from libsdl2-dev.
find_package(SDL2 REQUIRED)

target_sources(handset PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/display_session.cpp
    ${CMAKE_CURRENT_LIST_DIR}/sdl_display.cpp
    ${CMAKE_CURRENT_LIST_DIR}/sdl_input.cpp
    ${CMAKE_CURRENT_LIST_DIR}/shell_input.cpp
)
target_link_libraries(handset PRIVATE SDL2::SDL2)
