# Helpers shared by the subsystems' build files.

# nimbora_library(name deps...): one static library from the .cpp files of the folder.
function(nimbora_library name)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARGN})
endfunction()

# nimbora_test(name deps...): one test executable from the .cpp files of the folder,
# run under Wine as one CTest test.
function(nimbora_test name)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARGN} GTest::gtest_main)
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "NIMBORA_TEST_DATA=${CMAKE_CURRENT_SOURCE_DIR}")
endfunction()
