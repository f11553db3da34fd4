# The tests make compressed bitmap resources with the library's LZSS encoder,
# which is internal: it is compiled in.
target_sources(test_image PRIVATE ${PROJECT_SOURCE_DIR}/objfile/lzss.cpp)
target_include_directories(test_image PRIVATE ${PROJECT_SOURCE_DIR})
