# The Debian package takes its version and its date from debian/changelog,
# everything else from project(VERSION) and ZANDREL_RELEASE_DATE in
# CMakeLists.txt: the two must tell the same release.
#   cmake -DCHANGELOG=<debian/changelog> -DVERSION=<version> -DDATE=<YYYY-MM-DD> -P changelog_version.cmake
cmake_minimum_required(VERSION 3.25)
file(STRINGS "${CHANGELOG}" lines)
list(GET lines 0 first)
if(NOT first MATCHES "^zandrel \\(([^)]+)\\)")
    message(FATAL_ERROR "${CHANGELOG} does not begin with a zandrel entry: ${first}")
endif()
set(changelog_version "${CMAKE_MATCH_1}")
if(NOT changelog_version STREQUAL VERSION)
    message(FATAL_ERROR "${CHANGELOG}'s first entry is ${changelog_version}, but CMakeLists.txt's "
        "project(VERSION) is ${VERSION}: add an entry for ${VERSION} (dch -v ${VERSION}), or mend the version.")
endif()

# The first entry's signature line: " -- Name <mail>  Mon, 07 Dec 2026 00:00:00 +0000".
foreach(line IN LISTS lines)
    if(line MATCHES "^ -- .*  [A-Z][a-z][a-z], ([0-9]+) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) ")
        set(day "${CMAKE_MATCH_1}")
        set(year "${CMAKE_MATCH_3}")
        set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
        list(FIND months "${CMAKE_MATCH_2}" month)
        math(EXPR month "${month} + 1")
        string(REGEX REPLACE "^([0-9])$" "0\\1" month "${month}")
        string(REGEX REPLACE "^([0-9])$" "0\\1" day "${day}")
        set(changelog_date "${year}-${month}-${day}")
        if(NOT changelog_date STREQUAL DATE)
            message(FATAL_ERROR "${CHANGELOG}'s first entry is dated ${changelog_date}, but CMakeLists.txt's "
                "ZANDREL_RELEASE_DATE is ${DATE}.")
        endif()
        return()
    endif()
endforeach()
message(FATAL_ERROR "${CHANGELOG}'s first entry has no signature line with its date.")
