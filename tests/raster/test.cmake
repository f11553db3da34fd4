# The transformed blit is internal to the library (the frame update reaches
# it): its test compiles it in, with the matrix helpers it builds on.
target_sources(test_raster PRIVATE
  ${PROJECT_SOURCE_DIR}/raster/transformed_blit.cpp
  ${PROJECT_SOURCE_DIR}/raster/matrix.cpp)
target_include_directories(test_raster PRIVATE ${PROJECT_SOURCE_DIR})
