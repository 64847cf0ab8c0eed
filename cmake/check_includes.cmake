# Fails when an include runs up the house. The rooms stand, bottom to top:
#   platform/  ->  templates/  ->  bracket/, help/, pages/  ->  qt/  ->  app/
# A file may include its own room and the rooms below it, never one beside or
# above it; below qt/ nothing includes Qt, so all of that builds without Qt.
#   cmake -DROOT=<source folder> -P check_includes.cmake
cmake_minimum_required(VERSION 3.25)
if(NOT ROOT)
    message(FATAL_ERROR "usage: cmake -DROOT=<source folder> -P check_includes.cmake")
endif()

set(floor_platform 0)
set(floor_templates 1)
set(floor_bracket 2)
set(floor_help 2)
set(floor_pages 2)
set(floor_qt 3)
set(floor_app 4)
set(rooms platform templates bracket help pages qt app)

set(problems "")
foreach(room IN LISTS rooms)
    file(GLOB_RECURSE sources RELATIVE ${ROOT} ${ROOT}/${room}/*.h ${ROOT}/${room}/*.cpp)
    foreach(source IN LISTS sources)
        file(STRINGS ${ROOT}/${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
        foreach(line IN LISTS includes)
            string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]*)[>\"].*" "\\1" target "${line}")
            string(REGEX MATCH "^([a-z]+)/" prefix "${target}")
            set(target_room "${CMAKE_MATCH_1}")
            if(target_room IN_LIST rooms AND NOT target_room STREQUAL room
               AND NOT floor_${target_room} LESS floor_${room})
                list(APPEND problems "${source}: ${room}/ may not include ${target} (${target_room}/ is not below it)")
            elseif(target MATCHES "^(Q[A-Za-z]*|Qt[A-Za-z]*/.*)$" AND floor_${room} LESS floor_qt)
                list(APPEND problems "${source}: ${room}/ builds without Qt but includes <${target}>")
            elseif(target MATCHES "^tests/")
                list(APPEND problems "${source}: the program may not include ${target}")
            endif()
        endforeach()
    endforeach()
endforeach()

if(problems)
    list(JOIN problems "\n  " text)
    message(FATAL_ERROR "Includes that run against the rooms' order:\n  ${text}")
endif()
