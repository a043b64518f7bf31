# Debian's i386 port: i686-linux-gnu-g++, run under qemu-i386.
set(shapecalc_triplet i686-linux-gnu)
set(shapecalc_processor i686)
set(shapecalc_qemu qemu-i386)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
# The toolchain's own defaults are the port's baseline: i686, x87 floating
# point, no SSE2. Nothing is added to them.
