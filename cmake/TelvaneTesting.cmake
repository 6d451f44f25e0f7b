# Test helpers shared by every folder under tests/.
find_package(GTest REQUIRED)
include(GoogleTest)

# GoogleTest's headers take longer to read than most test files; every test binary reuses them
# precompiled once. The headers are built for an executable, so that they are compiled as the test
# binaries are (position-independent executable code).
add_executable(test_precompiled_headers ${CMAKE_CURRENT_LIST_DIR}/precompiled_headers.cpp)
target_link_libraries(test_precompiled_headers PRIVATE GTest::gmock GTest::gtest_main)
target_precompile_headers(test_precompiled_headers PRIVATE <gmock/gmock.h> <gtest/gtest.h>)

function(use_precompiled_test_headers name)
    target_precompile_headers(${name} REUSE_FROM test_precompiled_headers)
endfunction()

# handset_add_test(NAME src...): one GoogleTest binary against the handset library. Each test case
# becomes its own ctest entry with a timeout, so a hang fails instead of stalling the run.
function(handset_add_test name)
    add_executable(${name} ${ARGN})
    target_link_libraries(${name} PRIVATE handset handset_internal GTest::gmock GTest::gtest_main)
    use_precompiled_test_headers(${name})
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST PROPERTIES TIMEOUT 60)
endfunction()

# handset_add_fuzzer(NAME src...): a libFuzzer target, built only in the fuzz preset.
function(handset_add_fuzzer name)
    if(TELVANE_FUZZ)
        add_executable(${name} ${ARGN})
        target_link_libraries(${name} PRIVATE handset handset_internal)
        target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    endif()
endfunction()

# telvane_add_test(NAME src...): a GoogleTest binary for the program's own code, on a real
# handset. Every case runs in a process of its own, as the program's caches last for a run.
function(telvane_add_test name)
    add_executable(${name} ${ARGN})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
    target_link_libraries(${name} PRIVATE telvane_core handset_internal GTest::gmock
        GTest::gtest_main)
    use_precompiled_test_headers(${name})
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST PROPERTIES TIMEOUT 60)
endfunction()

# A test of Telvane's program code: it carries the English resources as its own module,
# as Telvane does, and lives in a folder of its own, so that no language or picture file lies
# beside it unless the test puts one there (LANGUAGE_FILE, GERMAN_LANGUAGE_FILE and PICTURES_FILE
# name the built ones).
function(telvane_add_program_test name)
    telvane_add_test(${name} ${ARGN})
    telvane_embed_resources(${name} telvane_language)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY
        ${CMAKE_CURRENT_BINARY_DIR}/alone)
    target_compile_definitions(${name} PRIVATE
        LANGUAGE_FILE="$<TARGET_PROPERTY:telvane_language,RESOURCE_FILE>"
        GERMAN_LANGUAGE_FILE="$<TARGET_PROPERTY:telvane_language_0407,RESOURCE_FILE>"
        PICTURES_FILE="$<TARGET_PROPERTY:telvane_pictures,RESOURCE_FILE>")
    add_dependencies(${name} telvane_pictures telvane_language_0407)
endfunction()
