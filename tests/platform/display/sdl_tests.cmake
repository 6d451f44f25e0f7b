# The desktop window's tests; included by this folder's CMakeLists.txt. The window itself is
# tested under a virtual X server: each case runs inside xvfb-run.
find_package(SDL2 REQUIRED)

handset_add_test(sdl_input_tests
    ${CMAKE_CURRENT_LIST_DIR}/sdl_input_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/sdl_session_test.cpp
)
target_link_libraries(sdl_input_tests PRIVATE SDL2::SDL2)

find_program(TELVANE_XVFB_RUN xvfb-run)
if(TELVANE_XVFB_RUN AND "automation" IN_LIST HANDSET_MODULES)
    telvane_add_resources(sdl_dialog_fixture ${CMAKE_CURRENT_LIST_DIR}/fixtures/sdl_dialog.rc
        OUTPUT sdl_dialog_fixture.res)
    handset_add_test(sdl_display_tests ${CMAKE_CURRENT_LIST_DIR}/sdl_display_test.cpp)
    target_link_libraries(sdl_display_tests PRIVATE SDL2::SDL2)
    telvane_embed_resources(sdl_display_tests sdl_dialog_fixture)
    set_target_properties(sdl_display_tests PROPERTIES
        CROSSCOMPILING_EMULATOR "${TELVANE_XVFB_RUN};-a;-s;-screen 0 1024x768x24")
endif()
