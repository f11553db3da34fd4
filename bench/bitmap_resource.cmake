# The resources are compressed with the library's internal LZSS encoder.
target_sources(bench_bitmap_resource PRIVATE ${PROJECT_SOURCE_DIR}/objfile/lzss.cpp)
target_include_directories(bench_bitmap_resource PRIVATE ${PROJECT_SOURCE_DIR})
