# What both mingw toolchain files share; each sets CMAKE_SYSTEM_PROCESSOR and
# VRPPH_MINGW_TRIPLE first.
#
# The -posix compilers are required: their libstdc++ has std::thread and
# std::mutex, which GoogleTest needs.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${VRPPH_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VRPPH_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VRPPH_MINGW_TRIPLE}-windres)
set(CMAKE_OBJDUMP ${VRPPH_MINGW_TRIPLE}-objdump CACHE FILEPATH "objdump for PE files")

set(CMAKE_FIND_ROOT_PATH /usr/${VRPPH_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Link libgcc, libstdc++ and winpthread into every module, so that vrpph.dll
# and the test programs import only DLLs that every Windows system has.
set(VRPPH_MINGW_STATIC_RUNTIME "-static -static-libgcc -static-libstdc++")
set(CMAKE_EXE_LINKER_FLAGS_INIT "${VRPPH_MINGW_STATIC_RUNTIME}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${VRPPH_MINGW_STATIC_RUNTIME}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "${VRPPH_MINGW_STATIC_RUNTIME}")
