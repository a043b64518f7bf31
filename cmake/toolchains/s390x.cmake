# Debian's s390x port: s390x-linux-gnu-g++, run under qemu-s390x.
set(shapecalc_triplet s390x-linux-gnu)
set(shapecalc_processor s390x)
set(shapecalc_qemu qemu-s390x)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
