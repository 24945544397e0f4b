# 64-bit Windows: the program the tests run.
set(NIMBORA_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
