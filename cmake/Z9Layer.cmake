# z9_add_layer(<layer> [OWN_MODULE_CODE_ONLY] [MODULES <juce modules...>]
#              [SOURCES <files...>] [EXCLUDE <files...>] [LIBS <libs...>]
#              [TEST_LIBS <libs...>])
#
# Adds one layer of the program, from the folder <layer>/ of the repository:
#   - its library z9_<layer>, from every .cpp and .h under the folder (or the
#     given SOURCES), less EXCLUDE, compiling the given JUCE modules with it
#     (z9_add_juce_library) or none;
#   - its place: the library links LIBS (z9_<layer> of the layers below it,
#     and other libraries); a layer may include only from its own folder and
#     from the folders of the layers it links, which the test
#     Layers.IncludesPointDown checks (tests/CheckLayerIncludes.cmake);
#   - its tests: z9_<layer>_tests, from tests/<layer>/*.cpp, linked with the
#     library and TEST_LIBS (tests/CMakeLists.txt builds them when the tests
#     are built). A layer without tests is an error.
#
# Layers are added lowest first; a layer may link only layers added before it,
# so the layers never form a circle.
define_property(GLOBAL PROPERTY Z9_LAYERS
    BRIEF_DOCS "The program's layers, lowest first"
    FULL_DOCS "Filled by z9_add_layer.")

function(z9_add_layer layer)
    cmake_parse_arguments(ARG "OWN_MODULE_CODE_ONLY" "" "MODULES;SOURCES;EXCLUDE;LIBS;TEST_LIBS" ${ARGN})
    set(name z9_${layer})
    set(folder ${PROJECT_SOURCE_DIR}/${layer})

    if(NOT IS_DIRECTORY ${folder})
        message(FATAL_ERROR "The layer ${layer} has no folder ${folder}")
    endif()

    if(NOT ARG_SOURCES)
        file(GLOB_RECURSE ARG_SOURCES CONFIGURE_DEPENDS ${folder}/*.cpp ${folder}/*.h)
    endif()

    if(ARG_EXCLUDE)
        list(REMOVE_ITEM ARG_SOURCES ${ARG_EXCLUDE})
    endif()

    # The layers below this one, from its links.
    get_property(known GLOBAL PROPERTY Z9_LAYERS)
    set(below "")
    foreach(lib IN LISTS ARG_LIBS)
        if(lib MATCHES "^z9_([a-z]+)$")
            if(NOT CMAKE_MATCH_1 IN_LIST known)
                message(FATAL_ERROR "The layer ${layer} links ${lib}, which is no layer added before it")
            endif()
            list(APPEND below ${CMAKE_MATCH_1})
        endif()
    endforeach()

    if(ARG_MODULES)
        set(own "")
        if(ARG_OWN_MODULE_CODE_ONLY)
            set(own OWN_MODULE_CODE_ONLY)
        endif()
        z9_add_juce_library(${name} ${own} MODULES ${ARG_MODULES} SOURCES ${ARG_SOURCES} LIBS ${ARG_LIBS})
    else()
        add_library(${name} STATIC ${ARG_SOURCES})
        target_link_libraries(${name} PUBLIC ${ARG_LIBS})
        z9_use_parallel_lto(${name})
    endif()

    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})

    set_property(GLOBAL APPEND PROPERTY Z9_LAYERS ${layer})
    set_property(GLOBAL PROPERTY Z9_LAYER_${layer}_BELOW "${below}")
    set_property(GLOBAL PROPERTY Z9_LAYER_${layer}_TEST_LIBS "${ARG_TEST_LIBS}")
endfunction()

# The rules of the include check, one "layer=below1,below2" entry per layer.
function(z9_layer_include_rules out_var)
    get_property(layers GLOBAL PROPERTY Z9_LAYERS)
    set(rules "")
    foreach(layer IN LISTS layers)
        get_property(below GLOBAL PROPERTY Z9_LAYER_${layer}_BELOW)
        list(JOIN below "," text)
        list(APPEND rules "${layer}=${text}")
    endforeach()
    set(${out_var} "${rules}" PARENT_SCOPE)
endfunction()
