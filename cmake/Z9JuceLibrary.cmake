# z9_add_juce_library(<name> MODULES <juce modules...> SOURCES <files...> [LIBS <libs...>])
#
# Builds one static library that compiles its own sources together with the
# given JUCE modules. The modules are linked PRIVATE so their code is compiled
# once, here; the library then re-exports its own include directories and
# compile definitions, so a consumer only needs
#     target_link_libraries(x PRIVATE <name>)
# to compile against the library's headers and JUCE's.
function(z9_add_juce_library name)
    cmake_parse_arguments(ARG "" "" "MODULES;SOURCES;LIBS" ${ARGN})

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
            juce::juce_recommended_lto_flags
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
endfunction()
