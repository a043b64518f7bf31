# 64-bit Windows: MinGW-w64 (g++-mingw-w64-x86-64-posix), tests under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
find_program(shapecalc_wine NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(shapecalc_wine NAMES wine64 wine)
# Quiet, and with a Wine prefix of the build's own, so nothing is kept
# outside the build folder.
set(CMAKE_CROSSCOMPILING_EMULATOR env WINEDEBUG=-all
  WINEPREFIX=${CMAKE_BINARY_DIR}/wine ${shapecalc_wine})
