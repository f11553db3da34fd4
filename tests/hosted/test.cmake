# The MIDI file decoder of the hosted MCI and the axis clipper of the hosted
# GDI are internal to vekhost: their tests compile them in.
target_sources(test_hosted PRIVATE ${PROJECT_SOURCE_DIR}/platform/mci/midi_file.cpp
  ${PROJECT_SOURCE_DIR}/platform/gdi/stretch.cpp)
target_include_directories(test_hosted PRIVATE ${PROJECT_SOURCE_DIR}/platform)
# The display depth test reads exported window images back with libpng.
find_package(PNG REQUIRED)
target_link_libraries(test_hosted PRIVATE PNG::PNG)
