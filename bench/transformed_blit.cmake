# The transformed blit is internal to the library: the benchmark compiles it
# in, with the matrix helpers it builds on.
target_sources(bench_transformed_blit PRIVATE
  ${PROJECT_SOURCE_DIR}/raster/transformed_blit.cpp
  ${PROJECT_SOURCE_DIR}/raster/matrix.cpp)
target_include_directories(bench_transformed_blit PRIVATE ${PROJECT_SOURCE_DIR})
