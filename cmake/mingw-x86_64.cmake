# 64-bit Windows: the test build on machines that run no 32-bit code.
set(NIMBORA_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
