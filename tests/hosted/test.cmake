# The MIDI file decoder of the hosted MCI and the axis clipper of the hosted
# GDI are internal to vekhost: their tests compile them in; so is the shell
# link writer, which makes the links no shell link object would write.
target_sources(test_hosted PRIVATE ${PROJECT_SOURCE_DIR}/platform/mci/midi_file.cpp
  ${PROJECT_SOURCE_DIR}/platform/gdi/stretch.cpp
  ${PROJECT_SOURCE_DIR}/platform/shell/lnk_file.cpp ${PROJECT_SOURCE_DIR}/platform/shell/utf16.cpp)
target_include_directories(test_hosted PRIVATE ${PROJECT_SOURCE_DIR}/platform ${PROJECT_SOURCE_DIR})
# The display depth test reads exported window images back with libpng.
find_package(PNG REQUIRED)
target_link_libraries(test_hosted PRIVATE PNG::PNG)
# The live display's fallback once more for each way it can fail: SDL2
# without a display, and a back end the platform does not know.
add_test(NAME hosted-no-display COMMAND test_hosted --gtest_filter=LiveFallback.*)
add_test(NAME hosted-unknown-display COMMAND test_hosted --gtest_filter=LiveFallback.*)
set_tests_properties(hosted-no-display PROPERTIES TIMEOUT 120 ENVIRONMENT
  "VEKHOST_PREFIX=${CMAKE_CURRENT_BINARY_DIR}/prefix-hosted-no-display;VEKHOST_DISPLAY=sdl;DISPLAY=;WAYLAND_DISPLAY=;SDL_VIDEODRIVER=x11;LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/live/lsan.supp")
set_tests_properties(hosted-unknown-display PROPERTIES TIMEOUT 120 ENVIRONMENT
  "VEKHOST_PREFIX=${CMAKE_CURRENT_BINARY_DIR}/prefix-hosted-unknown-display;VEKHOST_DISPLAY=mirror")
