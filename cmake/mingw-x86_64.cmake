# 64-bit Windows (vekkit.dll and the tests run under Wine).
set(MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
