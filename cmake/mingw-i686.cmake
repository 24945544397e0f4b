# 32-bit Windows: built beside the 64-bit program (scripts/build.sh i686).
set(NIMBORA_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
