# How shapecalc links its runtimes, as the target shapecalc_linkage.
#
#   dynamic  the C library shared; the C++ runtime and libgcc linked in.
#            The program uses nothing of the C++ runtime that needs the
#            shared library, and loading and relocating libstdc++.so would
#            cost every run more than the run itself.
#   static   everything linked in: no dynamic loader at all. Position
#            independent (-static-pie) where the toolchain can, so the
#            program's addresses are still randomised.
#
# A fully static link must not also name -static-libstdc++: g++ then links
# the C library as a shared library into a program with no interpreter,
# which crashes at start. So the runtime flags are added only to a dynamic
# link, and a -static or -static-pie that the caller passes in the linker
# flags makes the link static.
set(SHAPECALC_LINKAGE dynamic CACHE STRING "dynamic or static")
set_property(CACHE SHAPECALC_LINKAGE PROPERTY STRINGS dynamic static)
if(WIN32)
  # One self-contained .exe: no libstdc++, libgcc or winpthread DLL.
  set(SHAPECALC_LINKAGE static CACHE STRING "dynamic or static" FORCE)
endif()

set(caller_link_flags "${CMAKE_EXE_LINKER_FLAGS} ${CMAKE_EXE_LINKER_FLAGS_${CMAKE_BUILD_TYPE}}")
add_library(shapecalc_linkage INTERFACE)
if(caller_link_flags MATCHES "(^| )-static(-pie)?( |$)")
  # The caller chose a static link; it needs nothing more.
elseif(SHAPECALC_LINKAGE STREQUAL "static")
  include(CheckCXXSourceCompiles)
  set(CMAKE_REQUIRED_LINK_OPTIONS -static-pie)
  set(CMAKE_REQUIRED_QUIET ON)
  check_cxx_source_compiles("int main() { return 0; }" shapecalc_static_pie)
  unset(CMAKE_REQUIRED_LINK_OPTIONS)
  if(shapecalc_static_pie AND NOT WIN32)
    target_link_options(shapecalc_linkage INTERFACE -static-pie)
  else()
    target_link_options(shapecalc_linkage INTERFACE -static)
  endif()
elseif(SHAPECALC_LINKAGE STREQUAL "dynamic")
  target_link_options(shapecalc_linkage INTERFACE -static-libstdc++ -static-libgcc)
else()
  message(FATAL_ERROR "SHAPECALC_LINKAGE must be dynamic or static, not '${SHAPECALC_LINKAGE}'")
endif()
