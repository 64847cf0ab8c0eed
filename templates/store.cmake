# The template store: the decoder and the extraction the program uses, the
# compressor the build uses, and the built-in items made from the pages.

# The program's side: expanding an item and writing it out as a page.
target_sources(zandrel_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/lzss_format.h
    ${CMAKE_CURRENT_LIST_DIR}/lzss_decoder.h
    ${CMAKE_CURRENT_LIST_DIR}/lzss_decoder.cpp
    ${CMAKE_CURRENT_LIST_DIR}/item_extraction.h
    ${CMAKE_CURRENT_LIST_DIR}/item_extraction.cpp
    ${CMAKE_CURRENT_LIST_DIR}/bracket_template.h
    ${CMAKE_CURRENT_LIST_DIR}/bracket_template.cpp
    ${CMAKE_CURRENT_LIST_DIR}/builtin_items.h
    ${CMAKE_CURRENT_LIST_DIR}/page_contract.h
)

# The build's side: the compressor, kept out of the program's link.
add_library(zandrel_lzss_encoder STATIC
    ${CMAKE_CURRENT_LIST_DIR}/lzss_encoder.h
    ${CMAKE_CURRENT_LIST_DIR}/lzss_encoder.cpp
)
add_library(Zandrel::lzss_encoder ALIAS zandrel_lzss_encoder)
target_include_directories(zandrel_lzss_encoder PUBLIC ${PROJECT_SOURCE_DIR})
zandrel_set_warnings(zandrel_lzss_encoder)

add_executable(lzss ${CMAKE_CURRENT_LIST_DIR}/lzss_tool.cpp)
target_link_libraries(lzss PRIVATE zandrel_lzss_encoder Zandrel::core)
set_target_properties(lzss PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/templates)
zandrel_set_warnings(lzss)

add_executable(embed_items ${CMAKE_CURRENT_LIST_DIR}/embed_items.cpp)
target_include_directories(embed_items PRIVATE ${PROJECT_SOURCE_DIR})
zandrel_set_warnings(embed_items)

# The built-in items, each one NUMBER=FILE pair; the file goes into the
# program exactly as it is. The pages are compressed into items/NNN.bin first.
set(ZANDREL_ITEMS_DIR ${CMAKE_BINARY_DIR}/templates/items CACHE INTERNAL "")
file(MAKE_DIRECTORY ${ZANDREL_ITEMS_DIR})
set(zandrel_item_pairs "")
set(zandrel_item_files "")
set(zandrel_item_targets zandrel_page_files)
foreach(page IN LISTS ZANDREL_PAGE_FILES)
    get_filename_component(number ${page} NAME_WE)
    set(item ${ZANDREL_ITEMS_DIR}/${number}.bin)
    add_custom_command(
        OUTPUT ${item}
        COMMAND lzss compress ${page} ${item}
        DEPENDS lzss ${page}
        COMMENT "Compressing bracket page ${number}"
        VERBATIM)
    list(APPEND zandrel_item_pairs "${number}=${item}")
    list(APPEND zandrel_item_files ${item})
endforeach()
# Further items join here: the pair, the file, and the target that makes it.
if(TARGET zandrel_help)
    list(APPEND zandrel_item_pairs "163=${ZANDREL_HELP_FILE}")
    list(APPEND zandrel_item_files ${ZANDREL_HELP_FILE})
    list(APPEND zandrel_item_targets zandrel_help)
endif()

set(zandrel_items_source ${CMAKE_BINARY_DIR}/templates/builtin_items_data.cpp)
add_custom_command(
    OUTPUT ${zandrel_items_source}
    COMMAND embed_items ${zandrel_items_source} ${zandrel_item_pairs}
    DEPENDS embed_items ${zandrel_item_files}
    COMMENT "Embedding the built-in items"
    VERBATIM)

# Generated code gets no quality flags, so it sits in a library of its own.
add_library(zandrel_items_data OBJECT ${zandrel_items_source})
target_include_directories(zandrel_items_data PRIVATE ${PROJECT_SOURCE_DIR})
add_dependencies(zandrel_items_data ${zandrel_item_targets})

# What the program links to find its items.
add_library(zandrel_items STATIC
    ${CMAKE_CURRENT_LIST_DIR}/builtin_items.h
    ${CMAKE_CURRENT_LIST_DIR}/builtin_items.cpp
    $<TARGET_OBJECTS:zandrel_items_data>
)
add_library(Zandrel::items ALIAS zandrel_items)
target_link_libraries(zandrel_items PUBLIC Zandrel::core)
zandrel_set_warnings(zandrel_items)
