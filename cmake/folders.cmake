# One library a folder of src/, each linking only the folders below it. The
# same direction is what tests/architecture/folder_edges.txt allows and
# tests/architecture/check_folder_includes.sh holds every #include to;
# docs/architecture.md says why each folder sits where it does.
#
#   vrpph_folder(NAME DEPENDS lower folders...)
#
# takes every .cpp directly in src/NAME, and on Windows those of src/NAME/win32
# too. A folder of headers alone becomes an interface library.
function(vrpph_folder name)
  cmake_parse_arguments(folder "" "" "DEPENDS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${name}/*.cpp)
  if(WIN32)
    file(GLOB windows_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${name}/win32/*.cpp)
    list(APPEND sources ${windows_sources})
  endif()
  list(TRANSFORM folder_DEPENDS PREPEND vrpph_)
  if(sources)
    add_library(vrpph_${name} STATIC ${sources})
    target_include_directories(vrpph_${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(vrpph_${name} PUBLIC ${folder_DEPENDS})
  else()
    add_library(vrpph_${name} INTERFACE)
    target_include_directories(vrpph_${name} INTERFACE ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(vrpph_${name} INTERFACE ${folder_DEPENDS})
  endif()
endfunction()

vrpph_folder(core)
vrpph_folder(platform)
if(WIN32)
  target_compile_definitions(vrpph_platform PUBLIC NOMINMAX)
  target_link_libraries(vrpph_platform PUBLIC
    advapi32 user32 gdi32 shell32 ole32 oleaut32 urlmon comctl32 version uuid)
endif()
vrpph_folder(url DEPENDS core platform)
vrpph_folder(settings DEPENDS platform)
vrpph_folder(handoff DEPENDS settings url core platform)
vrpph_folder(prompt DEPENDS handoff settings url core platform)
# The one sequence after each road's screening, and the roads above it.
vrpph_folder(sequence DEPENDS prompt handoff settings url core platform)
vrpph_folder(interception DEPENDS sequence prompt handoff settings url core platform)
vrpph_folder(automation DEPENDS sequence prompt handoff settings url core platform)
vrpph_folder(registration DEPENDS platform)
# The native messaging host's logic: the browser extension's requests
# through the browser road's rules, the prompt and the hand-off.
vrpph_folder(bridge DEPENDS sequence prompt handoff settings url core platform)
# The id a Chromium-family store gave the extension it publishes without the
# key; the host's manifest then lets that origin in beside the unpacked one.
set(VRPPH_CHROMIUM_STORE_ID "" CACHE STRING "The extension's id in a Chromium-family store (32 letters a to p), or empty")
string(LENGTH "${VRPPH_CHROMIUM_STORE_ID}" VRPPH_STORE_ID_LENGTH)
if(NOT (VRPPH_STORE_ID_LENGTH EQUAL 0 OR (VRPPH_STORE_ID_LENGTH EQUAL 32 AND VRPPH_CHROMIUM_STORE_ID MATCHES "^[a-p]+$")))
  message(FATAL_ERROR "VRPPH_CHROMIUM_STORE_ID '${VRPPH_CHROMIUM_STORE_ID}' is no extension id: 32 letters a to p, or empty")
endif()
target_compile_definitions(vrpph_bridge PUBLIC "VRPPH_CHROMIUM_STORE_ID=\"${VRPPH_CHROMIUM_STORE_ID}\"")
# nlohmann-json3-dev's headers are named <nlohmann/...>; a link to its own
# folder in the build tree keeps the rest of /usr/include out of the mingw
# build.
set(VRPPH_NLOHMANN_DIR /usr/include/nlohmann CACHE PATH "The header folder of nlohmann-json3-dev")
set(VRPPH_NLOHMANN_ROOT ${CMAKE_BINARY_DIR}/nlohmann-json)
file(MAKE_DIRECTORY ${VRPPH_NLOHMANN_ROOT})
file(CREATE_LINK ${VRPPH_NLOHMANN_DIR} ${VRPPH_NLOHMANN_ROOT}/nlohmann SYMBOLIC)
target_include_directories(vrpph_bridge SYSTEM PUBLIC ${VRPPH_NLOHMANN_ROOT})
