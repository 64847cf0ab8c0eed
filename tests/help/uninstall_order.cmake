# The help's "Uninstalling" topic, as the build staged it: every way to
# remove Zandrel is there, those of the system the help was built for first.
#   cmake -DPAGE=<staged uninstall.htm> -DORDER=<headings, first to last, between |> -P uninstall_order.cmake
cmake_minimum_required(VERSION 3.25)
file(READ "${PAGE}" page)
set(last -1)
set(last_heading "the start")
string(REPLACE "|" ";" ORDER "${ORDER}")
foreach(heading IN LISTS ORDER)
    string(FIND "${page}" "<h3>${heading}</h3>" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "${PAGE} has no heading \"${heading}\"")
    endif()
    if(at LESS last)
        message(FATAL_ERROR "${PAGE} tells \"${heading}\" before ${last_heading}")
    endif()
    set(last ${at})
    set(last_heading "\"${heading}\"")
endforeach()
