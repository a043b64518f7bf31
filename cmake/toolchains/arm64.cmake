# Debian's arm64 port: aarch64-linux-gnu-g++, run under qemu-aarch64.
set(shapecalc_triplet aarch64-linux-gnu)
set(shapecalc_processor aarch64)
set(shapecalc_qemu qemu-aarch64)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
