# Reads the compiled resource of the Windows program back with the resource
# compiler and checks the version record and the icon the system shows.
#   cmake -DWINDRES=<windres> -DRESOURCE=<compiled .res> -DVERSION=<project version> -P version_resource.cmake
execute_process(COMMAND ${WINDRES} -i ${RESOURCE} -J coff -O rc
    OUTPUT_VARIABLE script ERROR_VARIABLE errors RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${WINDRES} cannot read ${RESOURCE}: ${errors}")
endif()
# Windows shows the numbers of the dotted version, four of them: 1.03 is 1, 3, 0, 0.
string(REGEX MATCHALL "[0-9]+" numbers "${VERSION}")
list(APPEND numbers 0 0 0)
list(SUBLIST numbers 0 4 numbers)
list(TRANSFORM numbers REPLACE "^0+([0-9])" "\\1")
list(JOIN numbers ", " numbers)
set(expected
    "FILEVERSION ${numbers}"
    "PRODUCTVERSION ${numbers}"
    "BLOCK \"040904B0\""
    "VALUE \"FileDescription\", \"Tournament bracket creator\""
    "VALUE \"FileVersion\", \"${VERSION}\""
    "VALUE \"ProductVersion\", \"${VERSION}\""
    "VALUE \"ProductName\", \"Zandrel\""
    "VALUE \"InternalName\", \"Zandrel\""
    "RT_GROUP_ICON")
foreach(line IN LISTS expected)
    string(FIND "${script}" "${line}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "The version resource lacks: ${line}\n${script}")
    endif()
endforeach()
