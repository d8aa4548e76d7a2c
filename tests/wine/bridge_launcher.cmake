# The Linux launcher answers a browser's hello through wine64, in the prefix
# and with the TMPDIR its .env file pins, whatever the caller's own are.
if(NOT VRPPH_WINE_TESTS)
  return()
endif()
add_test(NAME bridge_linux_launcher
  COMMAND ${CMAKE_CURRENT_LIST_DIR}/bridge_launcher_test.sh ${CMAKE_BINARY_DIR}/bin/vrpph-bridge-linux)
set_tests_properties(bridge_linux_launcher PROPERTIES RESOURCE_LOCK wine TIMEOUT 120
  PASS_REGULAR_EXPRESSION "launcher: hello answered byte for byte")
