# The package's Wine test (64-bit tree only): it builds the MSI from this
# tree's module and host and the 32-bit tree's module, and installs, upgrades
# and removes it in a fresh prefix of its own.
add_executable(vrpph_registry_dump ${CMAKE_CURRENT_LIST_DIR}/registry_dump.cpp)
target_link_libraries(vrpph_registry_dump PRIVATE vrpph_registry_snapshot)
set_target_properties(vrpph_registry_dump PROPERTIES
  OUTPUT_NAME registry_dump
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

set(VRPPH_PACKAGE_MODULE32 ${CMAKE_BINARY_DIR}/../windows-i686/bin/vrpph.dll CACHE FILEPATH
  "The 32-bit vrpph.dll the package carries beside this tree's")
if(VRPPH_WINE_TESTS)
  add_test(NAME package_msi_install_upgrade_uninstall
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/msi_wine_test.sh ${CMAKE_BINARY_DIR}/package-test
            $<TARGET_FILE:vrpph_registry_rows> $<TARGET_FILE:vrpph_registry_dump> $<TARGET_FILE:vrpph>
            ${VRPPH_PACKAGE_MODULE32} $<TARGET_FILE:vrpph_bridge_host> $<TARGET_FILE:vrpph_manager>)
  # Its own prefix and server, but the machine's two cores: one Wine test at a time.
  set_tests_properties(package_msi_install_upgrade_uninstall PROPERTIES
    RESOURCE_LOCK wine TIMEOUT 300)
endif()
