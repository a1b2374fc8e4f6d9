# z9_add_juce_library(<name> [OWN_MODULE_CODE_ONLY] MODULES <juce modules...> SOURCES <files...> [LIBS <libs...>])
#
# Builds one static library that compiles its own sources together with the
# given JUCE modules. The modules are linked PRIVATE so their code is compiled
# once, here; the library then re-exports its own include directories and
# compile definitions, so a consumer only needs
#     target_link_libraries(x PRIVATE <name>)
# to compile against the library's headers and JUCE's.
#
# With OWN_MODULE_CODE_ONLY the library compiles only the listed modules' own
# code and leaves out the JUCE modules they depend on: those must come already
# compiled from a library in LIBS (as z9_core brings juce_core, juce_events and
# juce_data_structures to the editor), so no JUCE code is compiled twice.

# z9_use_parallel_lto(<target>)
#
# Release builds compile the target for link-time optimisation, and every
# program that links it optimises at link time on all cores (-flto=auto, where
# JUCE's own flags give a plain -flto, which runs the link's code generation
# on one core). Clang's ThinLTO is parallel by itself.
function(z9_use_parallel_lto target)
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
        set(flag -flto=auto)
    elseif(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        set(flag -flto=thin)
    else()
        return()
    endif()

    target_compile_options(${target} PRIVATE $<$<CONFIG:Release>:${flag}>)
    target_link_options(${target} INTERFACE $<$<CONFIG:Release>:${flag}>)
endfunction()

# An interface target with a JUCE module's own sources and usage requirements,
# but without its links to other JUCE modules.
function(_z9_own_module_code module out_var)
    string(REPLACE "juce::" "" plain "${module}")
    set(wrapper z9_own_${plain})

    if(NOT TARGET ${wrapper})
        add_library(${wrapper} INTERFACE)

        foreach(prop INTERFACE_SOURCES INTERFACE_INCLUDE_DIRECTORIES INTERFACE_COMPILE_DEFINITIONS
                     INTERFACE_COMPILE_FEATURES INTERFACE_COMPILE_OPTIONS INTERFACE_LINK_OPTIONS)
            get_target_property(value ${module} ${prop})
            if(value)
                set_property(TARGET ${wrapper} PROPERTY ${prop} "${value}")
            endif()
        endforeach()

        get_target_property(libs ${module} INTERFACE_LINK_LIBRARIES)
        if(libs)
            foreach(lib IN LISTS libs)
                if(NOT lib MATCHES "^(juce::)?juce_")
                    target_link_libraries(${wrapper} INTERFACE ${lib})
                endif()
            endforeach()
        endif()
    endif()

    set(${out_var} ${wrapper} PARENT_SCOPE)
endfunction()

function(z9_add_juce_library name)
    cmake_parse_arguments(ARG "OWN_MODULE_CODE_ONLY" "" "MODULES;SOURCES;LIBS" ${ARGN})

    if(ARG_OWN_MODULE_CODE_ONLY)
        set(modules "")
        foreach(module IN LISTS ARG_MODULES)
            _z9_own_module_code(${module} wrapper)
            list(APPEND modules ${wrapper})
        endforeach()
        set(ARG_MODULES ${modules})
    endif()

    add_library(${name} STATIC ${ARG_SOURCES})

    target_compile_definitions(${name} PRIVATE
        JUCE_GLOBAL_MODULE_SETTINGS_INCLUDED=1
        JUCE_STANDALONE_APPLICATION=1
        JUCE_WEB_BROWSER=0
        JUCE_USE_CURL=1
        JUCE_INCLUDE_ZLIB_CODE=0
        JUCE_INCLUDE_PNGLIB_CODE=0
        JUCE_INCLUDE_JPEGLIB_CODE=0
        JUCE_MODAL_LOOPS_PERMITTED=1
        JUCE_DISPLAY_SPLASH_SCREEN=0
        JUCE_REPORT_APP_USAGE=0
        JUCE_STRICT_REFCOUNTEDPOINTER=1)

    target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})

    target_link_libraries(${name}
        PRIVATE
            ${ARG_MODULES}
            juce::juce_recommended_config_flags
        PUBLIC
            ${ARG_LIBS}
            CURL::libcurl
            ZLIB::ZLIB)

    # Hand JUCE's headers, include paths and definitions on to consumers
    # without handing them JUCE's sources.
    target_include_directories(${name} INTERFACE
        $<TARGET_PROPERTY:${name},INCLUDE_DIRECTORIES>)
    target_compile_definitions(${name} INTERFACE
        $<TARGET_PROPERTY:${name},COMPILE_DEFINITIONS>)

    set_target_properties(${name} PROPERTIES POSITION_INDEPENDENT_CODE ON)
    z9_use_parallel_lto(${name})
endfunction()
