# Debian's ppc64el port: powerpc64le-linux-gnu-g++, run under qemu-ppc64le.
set(shapecalc_triplet powerpc64le-linux-gnu)
set(shapecalc_processor ppc64le)
set(shapecalc_qemu qemu-ppc64le)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
