# Helpers shared by the subsystems' build files. A folder without sources yet
# makes no target, so subsystems can be filled one module at a time.

# nimbora_library(name deps...): one static library from the folder's .cpp files
# (the program's entry point, main.cpp, excepted).
function(nimbora_library name)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
  if(NOT sources)
    return()
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARGN})
endfunction()

# nimbora_test(name deps...): one test executable from the folder's .cpp files,
# run under Wine as one CTest test. NIMBORA_TEST_DATA names the folder.
function(nimbora_test name)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    return()
  endif()
  foreach(dep ${ARGN})
    if(NOT TARGET ${dep})
      return()
    endif()
  endforeach()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARGN} GTest::gtest_main)
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "NIMBORA_TEST_DATA=${CMAKE_CURRENT_SOURCE_DIR}")
endfunction()

# nimbora_gui_check(name script program): a GUI check, a bash script that sources
# tests/gui/guikit.sh (GUI_KIT) to drive `program` through the guikit helper.
# Checks run alone: they share the display, the mouse, the keyboard and hotkeys.
function(nimbora_gui_check name script program)
  if(NOT TARGET ${program})
    return()
  endif()
  add_test(NAME ${name} COMMAND bash ${script})
  set_tests_properties(${name} PROPERTIES RUN_SERIAL TRUE ENVIRONMENT
    "GUI_KIT=${PROJECT_SOURCE_DIR}/tests/gui/guikit.sh;GUIKIT=$<TARGET_FILE:guikit>;GUI_PROGRAM=$<TARGET_FILE:${program}>;GUI_WORK=${CMAKE_CURRENT_BINARY_DIR}/${name};NIMBORA_EMULATOR=${CMAKE_CROSSCOMPILING_EMULATOR};NIMBORA_TEST_DATA=${CMAKE_CURRENT_SOURCE_DIR}")
endfunction()
