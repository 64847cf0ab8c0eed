# Whatever the build and CTest run under Wine (the build's own tools, the
# tests) goes through a small script that puts the DLLs of Qt for Windows and
# of MinGW's runtime on Wine's search path, as they stand beside zandrel.exe
# in the zip.
get_target_property(zandrel_qt_core Qt6::Core IMPORTED_LOCATION_RELEASE)
if(NOT zandrel_qt_core)
    get_target_property(zandrel_qt_core Qt6::Core IMPORTED_LOCATION)
endif()
get_filename_component(zandrel_qt_bin "${zandrel_qt_core}" DIRECTORY)
set(zandrel_dll_folders "${zandrel_qt_bin}")
foreach(dll IN ITEMS libstdc++-6.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
        OUTPUT_VARIABLE found OUTPUT_STRIP_TRAILING_WHITESPACE)
    get_filename_component(found "${found}" REALPATH)
    get_filename_component(found "${found}" DIRECTORY)
    list(APPEND zandrel_dll_folders "${found}")
endforeach()
# Wine reads Windows paths; the host's root is its drive Z:.
list(TRANSFORM zandrel_dll_folders PREPEND "Z:")
list(JOIN zandrel_dll_folders ";" zandrel_wine_path)
string(REPLACE "/" "\\" zandrel_wine_path "${zandrel_wine_path}")
set(zandrel_wine_script "${PROJECT_BINARY_DIR}/wine-with-dlls.sh")
file(CONFIGURE OUTPUT "${zandrel_wine_script}" CONTENT
"#!/bin/sh
# Runs a Windows program of this build under Wine, with Qt's and MinGW's DLLs on its path.
WINEPATH='${zandrel_wine_path}'\${WINEPATH:+\";\$WINEPATH\"} exec '${ZANDREL_WINE}' \"\$@\"
" @ONLY)
file(CHMOD "${zandrel_wine_script}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
    WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR "${zandrel_wine_script}")
