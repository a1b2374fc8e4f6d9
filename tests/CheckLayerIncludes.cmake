# cmake -DSOURCE_DIR=<repository> -DLAYERS=<rules> -P CheckLayerIncludes.cmake
#
# Fails when a file of a layer includes from a layer that it does not link.
# The rules come from the build's layers (cmake/Z9Layer.cmake), one entry per
# layer, "layer=below1,below2", joined by "|": a file under <layer>/ may
# include "<layer>/..." and "<below>/..." only. So the editor and the firmware
# upgrader never include each other, nothing includes the shell, and the core
# includes nothing of the windowed layers.
#
# Inside the core the folders are layers of their own, lowest first: base,
# model, then files and link side by side, then sync; a file of the core
# includes only from its own folder or from those below it.
cmake_minimum_required(VERSION 3.22)

if(NOT SOURCE_DIR OR NOT LAYERS)
    message(FATAL_ERROR "Usage: cmake -DSOURCE_DIR=<repository> -DLAYERS=<rules> -P CheckLayerIncludes.cmake")
endif()

set(core_ranks base=0 model=1 files=2 link=2 sync=3)
set(problems "")

function(core_rank_of folder out)
    set(result -1)
    foreach(entry IN LISTS core_ranks)
        string(REPLACE "=" ";" pair "${entry}")
        list(GET pair 0 name)
        list(GET pair 1 value)
        if(name STREQUAL folder)
            set(result ${value})
        endif()
    endforeach()
    set(${out} ${result} PARENT_SCOPE)
endfunction()

string(REPLACE "|" ";" rules "${LAYERS}")
set(checked "")

foreach(rule IN LISTS rules)
    string(REPLACE "=" ";" pair "${rule}")
    list(GET pair 0 layer)
    list(LENGTH pair count)
    set(allowed ${layer})
    if(count GREATER 1)
        list(GET pair 1 below)
        string(REPLACE "," ";" below "${below}")
        list(APPEND allowed ${below})
    endif()
    list(APPEND checked ${layer})

    file(GLOB_RECURSE files ${SOURCE_DIR}/${layer}/*.h ${SOURCE_DIR}/${layer}/*.cpp)
    if(NOT files)
        list(APPEND problems "${layer}: no sources found in ${SOURCE_DIR}/${layer}")
    endif()

    foreach(f IN LISTS files)
        file(RELATIVE_PATH relative ${SOURCE_DIR}/${layer} ${f})
        string(REGEX MATCH "^[^/]+/" own_folder "${relative}")

        file(STRINGS ${f} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
        foreach(line IN LISTS includes)
            if(NOT line MATCHES "#[ \t]*include[ \t]*\"([a-z]+)/([^\"]*)\"")
                list(APPEND problems "${f}: ${line} (not from a layer's folder)")
                continue()
            endif()

            set(target ${CMAKE_MATCH_1})
            set(rest ${CMAKE_MATCH_2})

            if(NOT target IN_LIST allowed)
                list(APPEND problems "${f}: ${line} (${layer} does not link ${target})")
            elseif(layer STREQUAL "core" AND target STREQUAL "core")
                string(REGEX REPLACE "/$" "" from "${own_folder}")
                string(REGEX MATCH "^[a-z]+" to "${rest}")
                core_rank_of("${from}" own)
                core_rank_of("${to}" other)
                if(own EQUAL -1 OR other EQUAL -1 OR other GREATER own
                   OR (other EQUAL own AND NOT to STREQUAL from))
                    list(APPEND problems "${f}: ${line} (core/${from} may not include core/${to})")
                endif()
            endif()
        endforeach()
    endforeach()
endforeach()

# Every layer folder of the repository is checked: one the build does not know
# would go unchecked.
foreach(layer core gui editor firmware shell)
    if(NOT layer IN_LIST checked)
        list(APPEND problems "${layer}: not among the build's layers")
    endif()
endforeach()

if(problems)
    list(JOIN problems "\n" text)
    message(FATAL_ERROR "Includes that point up or across layers:\n${text}")
endif()
