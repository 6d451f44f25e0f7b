# Declaring the binaries that run on the handset, each in a few lines.
#
# handset_add_program(<name> LIBRARIES <libs>... [RESOURCES <resource target>]
#                     [DEPENDS <targets>...])
#   A program: the handset's main (handset_entry) calls the WinMain that one of the libraries
#   defines; the resources become the program's own module.
#
# handset_add_extension(<target> OUTPUT_NAME <file name> SOURCES <sources>...
#                       [RESOURCES <resource target>])
#   An in-process server that a host program loads with LoadLibrary: a shared object named
#   exactly as on the device (for example Quorrel.dll), beside the programs in bin/, with its
#   resources as the library's own module.

function(handset_add_program name)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "RESOURCES" "LIBRARIES;DEPENDS")
    add_executable(${name})
    # main, in handset_entry, calls WinMain: the static libraries link in that order.
    target_link_libraries(${name} PRIVATE handset_entry ${arg_LIBRARIES})
    if(arg_RESOURCES)
        telvane_embed_resources(${name} ${arg_RESOURCES})
    endif()
    if(arg_DEPENDS)
        add_dependencies(${name} ${arg_DEPENDS})
    endif()
endfunction()

function(handset_add_extension target)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "OUTPUT_NAME;RESOURCES" "SOURCES")
    add_library(${target} MODULE ${arg_SOURCES})
    target_link_libraries(${target} PRIVATE handset)
    set_target_properties(${target} PROPERTIES PREFIX "" SUFFIX "" OUTPUT_NAME ${arg_OUTPUT_NAME})
    if(arg_RESOURCES)
        telvane_embed_resources(${target} ${arg_RESOURCES})
    endif()
endfunction()
