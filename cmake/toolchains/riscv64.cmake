# Debian's riscv64 port: riscv64-linux-gnu-g++, run under qemu-riscv64.
set(shapecalc_triplet riscv64-linux-gnu)
set(shapecalc_processor riscv64)
set(shapecalc_qemu qemu-riscv64)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
