# Reads the compiled resource of the Windows program back with the resource
# compiler and checks the version record and the icon the system shows.
#   cmake -DWINDRES=<windres> -DRESOURCE=<compiled .res> -P version_resource.cmake
execute_process(COMMAND ${WINDRES} -i ${RESOURCE} -J coff -O rc
    OUTPUT_VARIABLE script ERROR_VARIABLE errors RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${WINDRES} cannot read ${RESOURCE}: ${errors}")
endif()
set(expected
    "FILEVERSION 1, 3, 0, 0"
    "PRODUCTVERSION 1, 3, 0, 0"
    "BLOCK \"040904B0\""
    "VALUE \"FileDescription\", \"Tournament bracket creator\""
    "VALUE \"FileVersion\", \"1.03\""
    "VALUE \"ProductVersion\", \"1.03\""
    "VALUE \"ProductName\", \"Zandrel\""
    "VALUE \"InternalName\", \"Zandrel\""
    "RT_GROUP_ICON")
foreach(line IN LISTS expected)
    string(FIND "${script}" "${line}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "The version resource lacks: ${line}\n${script}")
    endif()
endforeach()
