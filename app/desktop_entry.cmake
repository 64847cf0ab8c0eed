# Writes the desktop entry from its template, at install time in the portable
# layout so that Exec names the folder chosen then (--prefix), not the one
# known at configure time. In: zandrel_desktop_in, zandrel_desktop_out and,
# for the system layout, zandrel_exec (the bare name, found on PATH).
if(NOT DEFINED zandrel_exec)
    cmake_path(ABSOLUTE_PATH CMAKE_INSTALL_PREFIX NORMALIZE OUTPUT_VARIABLE program)
    cmake_path(APPEND program zandrel)
    # One quoted argument: inside the quotes ", `, $ and \ take a backslash;
    # the value is then a desktop-entry string, whose backslashes double; and
    # % is a field code unless doubled.
    string(REGEX REPLACE "([\"`$\\\\])" "\\\\\\1" program "${program}")
    string(REPLACE "\\" "\\\\" program "${program}")
    string(REPLACE "%" "%%" program "${program}")
    set(zandrel_exec "\"${program}\"")
endif()
configure_file("${zandrel_desktop_in}" "${zandrel_desktop_out}" @ONLY)
