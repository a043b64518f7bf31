# A Debian cross toolchain (g++-<triplet>) and its qemu-user emulator. The
# file that includes this one sets shapecalc_triplet, shapecalc_processor
# and shapecalc_qemu.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR ${shapecalc_processor})
set(CMAKE_CXX_COMPILER ${shapecalc_triplet}-g++)
set(CMAKE_C_COMPILER ${shapecalc_triplet}-gcc)  # GoogleTest asks for C too
set(CMAKE_FIND_ROOT_PATH /usr/${shapecalc_triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Tests run under the emulator, with the target's C library from the
# cross toolchain's own root.
set(CMAKE_CROSSCOMPILING_EMULATOR ${shapecalc_qemu} -L /usr/${shapecalc_triplet})
