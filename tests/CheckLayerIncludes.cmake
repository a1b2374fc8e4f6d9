# cmake -DSOURCE_DIR=<repository> -P CheckLayerIncludes.cmake
#
# Fails when a file of the core includes from a layer above its own (or from a
# sibling layer): the core's layers, lowest first, are base, model, then files
# and link side by side, then sync; nothing in the core includes from the
# windowed layers.
set(ranks base=0 model=1 files=2 link=2 sync=3)
set(problems "")

function(rank_of layer out)
    set(result -1)
    foreach(entry IN LISTS ranks)
        string(REPLACE "=" ";" pair "${entry}")
        list(GET pair 0 name)
        list(GET pair 1 value)
        if(name STREQUAL layer)
            set(result ${value})
        endif()
    endforeach()
    set(${out} ${result} PARENT_SCOPE)
endfunction()

foreach(entry IN LISTS ranks)
    string(REPLACE "=" ";" pair "${entry}")
    list(GET pair 0 layer)
    list(GET pair 1 own)
    file(GLOB files ${SOURCE_DIR}/core/${layer}/*.h ${SOURCE_DIR}/core/${layer}/*.cpp)

    foreach(f IN LISTS files)
        file(STRINGS ${f} includes REGEX "^#include \"")
        foreach(line IN LISTS includes)
            if(line MATCHES "^#include \"core/([a-z]+)/")
                set(target ${CMAKE_MATCH_1})
                rank_of(${target} other)
                if(other EQUAL -1 OR other GREATER own OR (other EQUAL own AND NOT target STREQUAL layer))
                    list(APPEND problems "${f}: ${line}")
                endif()
            else()
                list(APPEND problems "${f}: ${line}")
            endif()
        endforeach()
    endforeach()
endforeach()

if(problems)
    list(JOIN problems "\n" text)
    message(FATAL_ERROR "Includes that point up or across layers:\n${text}")
endif()
