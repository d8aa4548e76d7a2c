# Load and faults: load_driver.exe drives vrpph.dll from many threads against
# the real stand-in manager (tests/load/load_driver.cpp). The default runs
# take about a minute each; VRPPH_LOAD_ARGUMENTS and VRPPH_FAULT_ARGUMENTS
# make them larger.
add_executable(vrpph_load_driver
  ${CMAKE_CURRENT_LIST_DIR}/load_driver.cpp
  ${CMAKE_SOURCE_DIR}/tests/wine/support/test_bind_info.cpp
  ${CMAKE_SOURCE_DIR}/tests/wine/support/standin_manager.cpp
  ${CMAKE_SOURCE_DIR}/tests/wine/support/modal_watcher.cpp)
target_include_directories(vrpph_load_driver PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(vrpph_load_driver PRIVATE vrpph_platform vrpph_idl ole32 oleaut32 urlmon user32 advapi32 uuid)
target_compile_definitions(vrpph_load_driver PRIVATE NOMINMAX)
add_dependencies(vrpph_load_driver vrpph vrpph_manager)
set_target_properties(vrpph_load_driver PROPERTIES
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin
  CROSSCOMPILING_EMULATOR "${VRPPH_WINE_RUN}")

if(NOT VRPPH_WINE_TESTS)
  return()
endif()
set(VRPPH_LOAD_ARGUMENTS "" CACHE STRING "Extra arguments of the load run (e.g. --starts 10000)")
set(VRPPH_FAULT_ARGUMENTS "" CACHE STRING "Extra arguments of the fault run (e.g. --seconds 300)")
separate_arguments(load_arguments UNIX_COMMAND "${VRPPH_LOAD_ARGUMENTS}")
separate_arguments(fault_arguments UNIX_COMMAND "${VRPPH_FAULT_ARGUMENTS}")
add_test(NAME vrpph_load COMMAND vrpph_load_driver --load ${load_arguments})
add_test(NAME vrpph_faults COMMAND vrpph_load_driver --faults ${fault_arguments})
set_tests_properties(vrpph_load vrpph_faults PROPERTIES RESOURCE_LOCK wine TIMEOUT 900)
