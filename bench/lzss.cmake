# The LZSS codec is internal to the library: the benchmark compiles it in.
target_sources(bench_lzss PRIVATE ${PROJECT_SOURCE_DIR}/objfile/lzss.cpp)
target_include_directories(bench_lzss PRIVATE ${PROJECT_SOURCE_DIR})
