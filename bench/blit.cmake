# The RLE blits run beside SDL2's RLE blit of the same disc when SDL2 is there.
find_package(SDL2 QUIET)
if(TARGET SDL2::SDL2)
  target_link_libraries(bench_blit PRIVATE SDL2::SDL2)
  target_compile_definitions(bench_blit PRIVATE VEKBENCH_SDL2)
endif()
