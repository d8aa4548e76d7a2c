# The leak check: leak_driver.exe drives vrpph.dll under Wine while
# leak_check.sh reads the process's /proc entries from the Linux side.
add_executable(vrpph_leak_driver ${CMAKE_CURRENT_LIST_DIR}/leak_driver.cpp ${CMAKE_SOURCE_DIR}/tests/wine/support/test_bind_info.cpp)
target_include_directories(vrpph_leak_driver PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(vrpph_leak_driver PRIVATE vrpph_platform vrpph_idl ole32 oleaut32 urlmon user32 advapi32 uuid)
target_compile_definitions(vrpph_leak_driver PRIVATE NOMINMAX)
add_dependencies(vrpph_leak_driver vrpph)
set_target_properties(vrpph_leak_driver PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

if(NOT VRPPH_WINE_TESTS)
  return()
endif()
set(VRPPH_LEAK_CHECK ${CMAKE_CURRENT_LIST_DIR}/leak_check.sh)
add_test(NAME vrpph_leak_check COMMAND ${VRPPH_LEAK_CHECK} $<TARGET_FILE:vrpph_leak_driver>)
# The check must catch a leak as small as 64 bytes, or one handle, per call.
add_test(NAME vrpph_leak_check_sees_leaked_memory
  COMMAND ${VRPPH_LEAK_CHECK} $<TARGET_FILE:vrpph_leak_driver> --starts 4000 --downloads 400 --leak-bytes 64)
add_test(NAME vrpph_leak_check_sees_leaked_handles
  COMMAND ${VRPPH_LEAK_CHECK} $<TARGET_FILE:vrpph_leak_driver> --starts 400 --downloads 40 --leak-handles)
set_tests_properties(vrpph_leak_check vrpph_leak_check_sees_leaked_memory vrpph_leak_check_sees_leaked_handles
  PROPERTIES RESOURCE_LOCK wine TIMEOUT 600 ENVIRONMENT VRPPH_WINE_ARCH=${VRPPH_WINE_ARCH})
set_tests_properties(vrpph_leak_check_sees_leaked_memory vrpph_leak_check_sees_leaked_handles
  PROPERTIES PASS_REGULAR_EXPRESSION "Start: GROWTH beyond noise")
