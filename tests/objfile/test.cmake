# The LZSS codec and the packed-sound decoder are internal to the library:
# their tests compile them in.
target_sources(test_objfile PRIVATE
  ${PROJECT_SOURCE_DIR}/objfile/lzss.cpp
  ${PROJECT_SOURCE_DIR}/objfile/packed_sound.cpp)
target_include_directories(test_objfile PRIVATE ${PROJECT_SOURCE_DIR})
