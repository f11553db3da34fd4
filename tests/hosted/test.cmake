# The MIDI file decoder of the hosted MCI is internal to vekhost: its schedule
# test compiles it in; so is the shell link writer, which makes the links no
# shell link object would write.
target_sources(test_hosted PRIVATE ${PROJECT_SOURCE_DIR}/platform/mci/midi_file.cpp
  ${PROJECT_SOURCE_DIR}/platform/shell/lnk_file.cpp ${PROJECT_SOURCE_DIR}/platform/shell/utf16.cpp)
target_include_directories(test_hosted PRIVATE ${PROJECT_SOURCE_DIR}/platform ${PROJECT_SOURCE_DIR})
