# Converts PCF to BDF to a raster font file, then runs the ConvertedFont
# tests on the result. Arguments: PCF2BDF, VEKTOOL, PCF, TEST, WORK.
file(MAKE_DIRECTORY ${WORK})
foreach(step
    "${PCF2BDF};-o;${WORK}/font.bdf;${PCF}"
    "${VEKTOOL};font;${WORK}/font.bdf;-o;${WORK}/font.fnt")
  execute_process(COMMAND ${step} RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "${step} failed: ${failed}")
  endif()
endforeach()
set(ENV{VEKKIT_FONT_BDF} ${WORK}/font.bdf)
set(ENV{VEKKIT_FONT_FNT} ${WORK}/font.fnt)
execute_process(COMMAND ${TEST} --gtest_filter=ConvertedFont.* RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "ConvertedFont tests failed")
endif()
