# vrpph_fault_injection.dll: the module as shipped plus an operator new that
# a test can make fail (tests/fault/allocation_failure.cpp) and one more
# export to arm it. A test build only; the shipped vrpph.dll keeps its six
# exports. The Wine suite walks a failure over every allocation of each of
# the module's edges (tests/wine/allocation_failure_wine_test.cpp).
set(fault_def ${CMAKE_BINARY_DIR}/vrpph_fault_injection.def)
file(READ ${CMAKE_SOURCE_DIR}/src/resources/vrpph-win${VRPPH_WINDOWS_BITS}.def module_exports)
string(REPLACE "LIBRARY vrpph.dll" "LIBRARY vrpph_fault_injection.dll" module_exports "${module_exports}")
if(VRPPH_WINDOWS_BITS EQUAL 32)
  string(APPEND module_exports "    VrpphFailAllocation = VrpphFailAllocation@4\n")
else()
  string(APPEND module_exports "    VrpphFailAllocation\n")
endif()
file(CONFIGURE OUTPUT ${fault_def} CONTENT "${module_exports}")

add_library(vrpph_fault_injection SHARED
  ${VRPPH_COMFRAME_SOURCES}
  ${CMAKE_CURRENT_LIST_DIR}/allocation_failure.cpp
  ${fault_def}
  ${CMAKE_SOURCE_DIR}/src/resources/vrpph.rc)
target_link_libraries(vrpph_fault_injection PRIVATE vrpph_automation vrpph_interception vrpph_registration vrpph_idl)
target_include_directories(vrpph_fault_injection PRIVATE ${CMAKE_SOURCE_DIR}/src/resources)
target_link_options(vrpph_fault_injection PRIVATE -Wl,--subsystem,windows)
if(VRPPH_WINDOWS_BITS EQUAL 32)
  target_link_options(vrpph_fault_injection PRIVATE -Wl,--disable-stdcall-fixup)
endif()
set_target_properties(vrpph_fault_injection PROPERTIES
  PREFIX ""
  SUFFIX ".dll"
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin
  ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/lib)
