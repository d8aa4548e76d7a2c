# The Windows half of the build: the platform seam on Win32, vrpph.dll and
# the test programs that run under Wine. The same sources build the 32-bit
# module (cmake/mingw-i686.cmake) and the 64-bit one (cmake/mingw-x86_64.cmake).
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(VRPPH_WINDOWS_BITS 64)
  set(VRPPH_WINE_ARCH win64)
  set(VRPPH_STDOLE_DEFAULT_DIR /usr/lib/x86_64-linux-gnu/wine/x86_64-windows)
else()
  set(VRPPH_WINDOWS_BITS 32)
  set(VRPPH_WINE_ARCH win32)
  set(VRPPH_STDOLE_DEFAULT_DIR /usr/lib/i386-linux-gnu/wine/i386-windows)
endif()

# The interfaces' C++ declarations, their ids and the type library, made by
# widl from the IDL with Wine's Windows IDL files and its stdole2.tlb.
# The type library's platform (SYS_WIN32 or SYS_WIN64) is the one its module
# registers it for, so each architecture runs its own widl with Wine's
# stdole2.tlb of the same architecture.
find_program(VRPPH_WIDL NAMES ${VRPPH_MINGW_TRIPLE}-widl widl REQUIRED)
set(VRPPH_WINDOWS_IDL_DIR /usr/include/wine/wine/windows CACHE PATH "Windows IDL files (libwine-dev)")
set(VRPPH_STDOLE_DIR ${VRPPH_STDOLE_DEFAULT_DIR} CACHE PATH "Folder of Wine's stdole2.tlb for this architecture")
set(VRPPH_IDL_DIR ${CMAKE_BINARY_DIR}/idl)
set(VRPPH_TYPE_LIBRARY ${VRPPH_IDL_DIR}/vrpph.tlb)
add_custom_command(
  OUTPUT ${VRPPH_IDL_DIR}/vrpph_idl.h ${VRPPH_IDL_DIR}/vrpph_idl_i.c ${VRPPH_TYPE_LIBRARY}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${VRPPH_IDL_DIR}
  COMMAND ${VRPPH_WIDL} --win${VRPPH_WINDOWS_BITS} -I ${VRPPH_WINDOWS_IDL_DIR} -L ${VRPPH_STDOLE_DIR}
          -h -H ${VRPPH_IDL_DIR}/vrpph_idl.h -u -U ${VRPPH_IDL_DIR}/vrpph_idl_i.c -t -T ${VRPPH_TYPE_LIBRARY}
          ${CMAKE_SOURCE_DIR}/src/resources/vrpph.idl
  DEPENDS ${CMAKE_SOURCE_DIR}/src/resources/vrpph.idl
  VERBATIM)
add_library(vrpph_idl STATIC ${VRPPH_IDL_DIR}/vrpph_idl_i.c)
target_include_directories(vrpph_idl PUBLIC ${VRPPH_IDL_DIR})

# The COM server itself.
file(GLOB VRPPH_COMFRAME_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/comframe/*.cpp)
add_library(vrpph SHARED
  ${VRPPH_COMFRAME_SOURCES}
  ${CMAKE_SOURCE_DIR}/src/resources/vrpph-win${VRPPH_WINDOWS_BITS}.def
  ${CMAKE_SOURCE_DIR}/src/resources/vrpph.rc)
target_link_libraries(vrpph PRIVATE vrpph_automation vrpph_interception vrpph_registration vrpph_idl)
# windres looks for the bitmap and the manifest beside the scripts; a new
# picture or manifest must rebuild the resources.
target_include_directories(vrpph PRIVATE ${CMAKE_SOURCE_DIR}/src/resources)
set_source_files_properties(${CMAKE_SOURCE_DIR}/src/resources/vrpph.rc PROPERTIES OBJECT_DEPENDS
  "${CMAKE_SOURCE_DIR}/src/resources/prompt.rc;${CMAKE_SOURCE_DIR}/src/resources/resource_ids.h;${CMAKE_SOURCE_DIR}/src/resources/version.h;${CMAKE_SOURCE_DIR}/src/resources/prompt.bmp;${CMAKE_SOURCE_DIR}/src/resources/prompt.manifest;${CMAKE_SOURCE_DIR}/src/resources/http_plug_prot.rgs;${CMAKE_SOURCE_DIR}/src/resources/api.rgs;${VRPPH_TYPE_LIBRARY}")
set_target_properties(vrpph PROPERTIES
  PREFIX ""
  OUTPUT_NAME vrpph
  SUFFIX ".dll"
  IMPORT_PREFIX ""
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin
  ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/lib)
target_link_options(vrpph PRIVATE -Wl,--subsystem,windows)
# The 32-bit .def names each export after its stdcall symbol; an undecorated
# export that the linker would have to guess must fail the link, not warn.
# x86_64 has one calling convention and no decoration.
if(VRPPH_WINDOWS_BITS EQUAL 32)
  target_link_options(vrpph PRIVATE -Wl,--disable-stdcall-fixup)
endif()

# The module with allocations a test can make fail.
include(${CMAKE_SOURCE_DIR}/tests/fault/fault_injection.cmake)

# Everything under tests/wine runs under Wine, one program at a time: they
# share one prefix, one desktop and one registry. Without VRPPH_WINE_TESTS
# (a machine whose kernel cannot run this architecture) the test programs are
# still built, but only the checks that need no Wine are registered.
option(VRPPH_WINE_TESTS "Register the tests that run under Wine" ON)
# Each tree runs under the Wine loader and in the prefix of its architecture.
set(VRPPH_WINE_RUN ${CMAKE_SOURCE_DIR}/tools/wine-run --arch ${VRPPH_WINE_ARCH})
set(VRPPH_WINE_TEST_TIMEOUT 120 CACHE STRING "Seconds each Wine test may run")

file(GLOB VRPPH_WINE_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/wine/*.cpp
  ${CMAKE_SOURCE_DIR}/tests/wine/support/*.cpp)
if(VRPPH_WINE_TEST_SOURCES)
  add_executable(vrpph_wine_tests ${VRPPH_WINE_TEST_SOURCES})
  target_link_libraries(vrpph_wine_tests PRIVATE vrpph_idl vrpph_test_support vrpph_bridge gtest gmock gtest_main)
  # The type library beside the tests, for those that register it by hand.
  target_compile_definitions(vrpph_wine_tests PRIVATE VRPPH_TYPE_LIBRARY_NAME="vrpph-test.tlb")
  add_custom_command(TARGET vrpph_wine_tests POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${VRPPH_TYPE_LIBRARY} ${CMAKE_BINARY_DIR}/bin/vrpph-test.tlb)
  # The tests load vrpph.dll from their own folder, as a host would.
  add_dependencies(vrpph_wine_tests vrpph vrpph_fault_injection)
  set_target_properties(vrpph_wine_tests PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin
    CROSSCOMPILING_EMULATOR ${VRPPH_WINE_RUN})
  # The 64-bit suite registers the 32-bit module beside its own where the
  # machine runs 32-bit programs: its Linux path, or "missing: " and why not
  # (tools/test says which).
  set(VRPPH_PEER_MODULE "" CACHE STRING "The 32-bit vrpph.dll for the 64-bit suite, or 'missing: REASON'")
  if(VRPPH_WINE_TESTS)
    gtest_discover_tests(vrpph_wine_tests
      DISCOVERY_MODE PRE_TEST
      DISCOVERY_TIMEOUT ${VRPPH_WINE_TEST_TIMEOUT}
      PROPERTIES RESOURCE_LOCK wine TIMEOUT ${VRPPH_WINE_TEST_TIMEOUT}
                 ENVIRONMENT "VRPPH_PEER_MODULE=${VRPPH_PEER_MODULE}")
  endif()
endif()

# Many Start and DownloadFile calls, measured for leaks from the Linux side.
include(${CMAKE_SOURCE_DIR}/tests/leak/leak_check.cmake)
# Many threads, a settings writer and a manager killed mid-stream.
include(${CMAKE_SOURCE_DIR}/tests/load/load.cmake)

# The stand-in download manager (TQP.exe), the Wine tests' peer.
add_subdirectory(${CMAKE_SOURCE_DIR}/manager ${CMAKE_BINARY_DIR}/manager)
# The browser host (browser_host.exe): navigates through urlmon to the
# registered name-space handlers, for the end-to-end tests and tools/demo.
add_subdirectory(${CMAKE_SOURCE_DIR}/host ${CMAKE_BINARY_DIR}/host)
# A host that raises the download prompt, for its picture in the README.
add_subdirectory(${CMAKE_SOURCE_DIR}/tools/show-prompt ${CMAKE_BINARY_DIR}/show-prompt)

# vrpph.dll must load in a stock Windows process: exactly its six exports,
# undecorated, and imports from system DLLs only.
add_test(NAME vrpph_dll_surface
  COMMAND ${CMAKE_SOURCE_DIR}/tests/pe/check_dll_surface.sh ${VRPPH_WINDOWS_BITS} ${CMAKE_OBJDUMP}
          $<TARGET_FILE:vrpph>)
# The checker itself must catch what it is there to catch, each for its
# reason: saved listings, the bits they are checked for, the expected output.
set(VRPPH_SURFACE_CASES
  "good|32|^exports: DllCanUnloadNow DllGetClassObject DllRegisterServer DllShowAboutDialog DllShowOpenDialog DllUnregisterServer \nimports: advapi32.dll kernel32.dll msvcrt.dll oleaut32.dll wininet.dll"
  "good64|64|^exports: DllCanUnloadNow DllGetClassObject DllRegisterServer DllShowAboutDialog DllShowOpenDialog DllUnregisterServer \nimports: advapi32.dll kernel32.dll msvcrt.dll oleaut32.dll wininet.dll"
  "decorated_export|32|> DllGetClassObject@12"
  "missing_export|32|< DllShowOpenDialog"
  "extra_export|32|> _ZN5vrpph8comframe6ModuleEv"
  "runtime_import|32|non-system import: libstdc\\+\\+-6.dll\nnon-system import: libwinpthread-1.dll"
  "foreign_import|32|non-system import: zlib1.dll"
  "not_32bit|32|^not a 32-bit PE file \\(PE32\\)\n"
  "good|64|^not a 64-bit PE file \\(PE32\\+\\)\n"
  "good64|32|^not a 32-bit PE file \\(PE32\\)\n")
foreach(case IN LISTS VRPPH_SURFACE_CASES)
  string(REPLACE "|" ";" case "${case}")
  list(GET case 0 listing)
  list(GET case 1 bits)
  list(GET case 2 expected)
  add_test(NAME vrpph_dll_surface_check_${listing}_as_${bits}bit
    COMMAND ${CMAKE_SOURCE_DIR}/tests/pe/check_dll_surface.sh ${bits} cat
            ${CMAKE_SOURCE_DIR}/tests/pe/${listing}.txt)
  set_tests_properties(vrpph_dll_surface_check_${listing}_as_${bits}bit PROPERTIES
    PASS_REGULAR_EXPRESSION "${expected}")
endforeach()

# vrpph-bridge.exe: the native messaging host for today's browsers.
add_subdirectory(${CMAKE_SOURCE_DIR}/native_host ${CMAKE_BINARY_DIR}/native-host)

# The installer's Wine test, in the 64-bit tree.
if(VRPPH_WINDOWS_BITS EQUAL 64)
  include(${CMAKE_SOURCE_DIR}/tests/package/package.cmake)
endif()
