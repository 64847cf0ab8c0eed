# The template store: the decoder the program uses, the compressor the build
# uses, and the built-in items made from the generated pages.

# The program's side: expanding an item.
target_sources(zandrel_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/comp_lzss3.h
    ${CMAKE_CURRENT_LIST_DIR}/comp_lzss3.cpp
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
