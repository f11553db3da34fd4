# The converter's round trip: an X bitmap font becomes a BDF file (pcf2bdf)
# and a raster font file (vektool font), which the ConvertedFont tests load and
# draw, comparing the pixels with the BDF glyphs. Only where the tools are
# built and the font and pcf2bdf are installed.
if(TARGET vektool AND VEKKIT_PCF2BDF AND EXISTS "${VEKKIT_DEMO_FONT_PCF}")
  add_test(NAME font_conversion COMMAND ${CMAKE_COMMAND}
    -DPCF2BDF=${VEKKIT_PCF2BDF} -DVEKTOOL=$<TARGET_FILE:vektool> -DPCF=${VEKKIT_DEMO_FONT_PCF}
    -DTEST=$<TARGET_FILE:test_image> -DWORK=${CMAKE_CURRENT_BINARY_DIR}/font_conversion
    -P ${CMAKE_CURRENT_LIST_DIR}/convert_font.cmake)
  set_tests_properties(font_conversion PROPERTIES TIMEOUT 120
    ENVIRONMENT "VEKHOST_PREFIX=${CMAKE_CURRENT_BINARY_DIR}/prefix-font_conversion")
endif()

# The tests make compressed bitmap resources with the library's LZSS encoder,
# which is internal: it is compiled in.
target_sources(test_image PRIVATE ${PROJECT_SOURCE_DIR}/objfile/lzss.cpp)
target_include_directories(test_image PRIVATE ${PROJECT_SOURCE_DIR})
