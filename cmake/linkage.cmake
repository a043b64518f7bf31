# How shapecalc links its runtimes, as the target shapecalc_linkage.
#
#   dynamic  the C library shared; the C++ runtime and libgcc linked in.
#            The program uses nothing of the C++ runtime that needs the
#            shared library, and loading and relocating libstdc++.so would
#            cost every run more than the run itself.
#   static   everything linked in: no dynamic loader and no relocation
#            at start, the cheapest start there is.
#   static-pie  the same, position independent: its addresses are still
#            randomised, for some 20,000 instructions of self-relocation
#            at every start.
#
# A fully static link must not also name -static-libstdc++: g++ then links
# the C library as a shared library into a program with no interpreter,
# which crashes at start. So the runtime flags are added only to a dynamic
# link, and a -static or -static-pie that the caller passes in the linker
# flags makes the link static.
set(SHAPECALC_LINKAGE dynamic CACHE STRING "dynamic, static or static-pie")
set_property(CACHE SHAPECALC_LINKAGE PROPERTY STRINGS dynamic static static-pie)
if(WIN32)
  # One self-contained .exe: no libstdc++, libgcc or winpthread DLL.
  set(SHAPECALC_LINKAGE static CACHE STRING "dynamic, static or static-pie" FORCE)
endif()

set(caller_link_flags "${CMAKE_EXE_LINKER_FLAGS} ${CMAKE_EXE_LINKER_FLAGS_${CMAKE_BUILD_TYPE}}")
add_library(shapecalc_linkage INTERFACE)
if(caller_link_flags MATCHES "(^| )-static(-pie)?( |$)")
  # The caller chose a static link; it needs nothing more.
elseif(SHAPECALC_LINKAGE MATCHES "^static(-pie)?$")
  target_link_options(shapecalc_linkage INTERFACE -${SHAPECALC_LINKAGE})
elseif(SHAPECALC_LINKAGE STREQUAL "dynamic")
  target_link_options(shapecalc_linkage INTERFACE -static-libstdc++ -static-libgcc)
else()
  message(FATAL_ERROR "SHAPECALC_LINKAGE must be dynamic, static or static-pie, not '${SHAPECALC_LINKAGE}'")
endif()
