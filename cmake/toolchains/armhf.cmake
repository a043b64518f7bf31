# Debian's armhf port: arm-linux-gnueabihf-g++, run under qemu-arm.
set(shapecalc_triplet arm-linux-gnueabihf)
set(shapecalc_processor armv7l)
set(shapecalc_qemu qemu-arm)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
