# Cross toolchain: Windows with MinGW-w64 (posix threads), static run-time, for
# the triplet NIMBORA_TRIPLET that the including toolchain file sets.
set(CMAKE_SYSTEM_NAME Windows)
string(REGEX REPLACE "-.*" "" CMAKE_SYSTEM_PROCESSOR ${NIMBORA_TRIPLET})
set(CMAKE_C_COMPILER ${NIMBORA_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${NIMBORA_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${NIMBORA_TRIPLET}-windres)
set(CMAKE_AR ${NIMBORA_TRIPLET}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${NIMBORA_TRIPLET}-gcc-ranlib-posix CACHE FILEPATH "")
set(CMAKE_FIND_ROOT_PATH /usr/${NIMBORA_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The cross-built libraries live in a cache outside the tree (scripts/env.sh).
if(DEFINED ENV{NIMBORA_DEPS})
  list(APPEND CMAKE_FIND_ROOT_PATH $ENV{NIMBORA_DEPS})
endif()
