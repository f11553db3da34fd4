# The MIDI file decoder of the hosted MCI is internal to vekhost: its schedule
# test compiles it in.
target_sources(test_hosted PRIVATE ${PROJECT_SOURCE_DIR}/platform/mci/midi_file.cpp)
target_include_directories(test_hosted PRIVATE ${PROJECT_SOURCE_DIR}/platform)
# Window images are PNG files only where vekhost has libpng.
if(VEKHOST_PNG)
  target_compile_definitions(test_hosted PRIVATE VEKHOST_PNG)
endif()
