# Page generator: draws the 62 bracket pages (items 101 to 162) at build time.
# The pages live only in the build tree; ZANDREL_PAGE_FILES lists them in item
# order for whatever packs them into the program.
target_sources(zandrel_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/page_grid.h
    ${CMAKE_CURRENT_LIST_DIR}/page_grid.cpp
    ${CMAKE_CURRENT_LIST_DIR}/page_plan.h
    ${CMAKE_CURRENT_LIST_DIR}/page_plan.cpp
    ${CMAKE_CURRENT_LIST_DIR}/page_layout.h
    ${CMAKE_CURRENT_LIST_DIR}/page_layout.cpp
    ${CMAKE_CURRENT_LIST_DIR}/page_html.h
    ${CMAKE_CURRENT_LIST_DIR}/page_html.cpp
)

add_executable(zandrel_pagegen ${CMAKE_CURRENT_LIST_DIR}/generate_pages.cpp)
target_link_libraries(zandrel_pagegen PRIVATE Zandrel::core)
zandrel_set_warnings(zandrel_pagegen)

set(ZANDREL_PAGES_DIR ${CMAKE_BINARY_DIR}/templates/pages CACHE INTERNAL "")
set(zandrel_page_files "")
foreach(item RANGE 101 162)
    list(APPEND zandrel_page_files ${ZANDREL_PAGES_DIR}/${item}.htm)
endforeach()
set(ZANDREL_PAGE_FILES ${zandrel_page_files} CACHE INTERNAL "")

add_custom_command(
    OUTPUT ${ZANDREL_PAGE_FILES}
    COMMAND zandrel_pagegen ${ZANDREL_PAGES_DIR}
    DEPENDS zandrel_pagegen
    COMMENT "Drawing the bracket pages"
    VERBATIM)
add_custom_target(zandrel_pages ALL DEPENDS ${ZANDREL_PAGE_FILES})
