# Start's decline path against its floor, a Windows program run under Wine
# beside vrpph.dll (tools/bench).
add_executable(vrpph_start_bench
  ${CMAKE_CURRENT_LIST_DIR}/start_decline_bench.cpp
  ${CMAKE_CURRENT_LIST_DIR}/naive_decline.cpp
  ${CMAKE_SOURCE_DIR}/tests/wine/support/test_bind_info.cpp)
target_include_directories(vrpph_start_bench PRIVATE ${CMAKE_CURRENT_LIST_DIR} ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(vrpph_start_bench PRIVATE vrpph_interception)
add_dependencies(vrpph_start_bench vrpph)
set_target_properties(vrpph_start_bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
