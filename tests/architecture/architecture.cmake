# The folders' direction, held against every #include under src/; and the
# checker itself, seen to catch a planted edge and a cyclic table.
set(VRPPH_ARCHITECTURE_DIR ${CMAKE_SOURCE_DIR}/tests/architecture)
add_test(NAME folder_includes
  COMMAND ${VRPPH_ARCHITECTURE_DIR}/check_folder_includes.sh ${CMAKE_SOURCE_DIR}/src
          ${VRPPH_ARCHITECTURE_DIR}/folder_edges.txt)
add_test(NAME folder_includes_check_catches_a_planted_edge
  COMMAND ${VRPPH_ARCHITECTURE_DIR}/check_folder_includes.sh ${VRPPH_ARCHITECTURE_DIR}/fixture/src
          ${VRPPH_ARCHITECTURE_DIR}/fixture/edges.txt)
set_tests_properties(folder_includes_check_catches_a_planted_edge PROPERTIES
  PASS_REGULAR_EXPRESSION "^low/low.h: includes ../high/high.h \\(low -> high is not allowed\\)")
add_test(NAME folder_includes_check_catches_a_cycle
  COMMAND ${VRPPH_ARCHITECTURE_DIR}/check_folder_includes.sh ${VRPPH_ARCHITECTURE_DIR}/fixture/src
          ${VRPPH_ARCHITECTURE_DIR}/fixture/cycle.txt)
set_tests_properties(folder_includes_check_catches_a_cycle PROPERTIES
  PASS_REGULAR_EXPRESSION "cycle in .*cycle.txt: (low -> high -> low|high -> low -> high)")
# src/ builds the module; packaging/ uses it, never the other way round.
add_test(NAME src_includes_nothing_of_packaging
  COMMAND ${VRPPH_ARCHITECTURE_DIR}/check_no_includes_of.sh ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/packaging)
add_test(NAME src_includes_nothing_of_packaging_check_catches_one
  COMMAND ${VRPPH_ARCHITECTURE_DIR}/check_no_includes_of.sh ${VRPPH_ARCHITECTURE_DIR}/fixture/src/low
          ${VRPPH_ARCHITECTURE_DIR}/fixture/src/high)
set_tests_properties(src_includes_nothing_of_packaging_check_catches_one PROPERTIES
  PASS_REGULAR_EXPRESSION "^low.h: includes ../high/high.h, a file of high/")
# The package's tools build on the module and their own code, never on tests/.
add_test(NAME packaging_includes_nothing_of_tests
  COMMAND ${VRPPH_ARCHITECTURE_DIR}/check_no_includes_of.sh ${CMAKE_SOURCE_DIR}/packaging ${CMAKE_SOURCE_DIR}/tests)
