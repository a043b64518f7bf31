# The hardening a Debian package build gets from dpkg-buildflags with
# hardening=+all, as the target shapecalc_hardening: stack protector,
# fortified C library calls, read-only relocations bound at start,
# stack-clash protection, and control-flow protection on x86. (Position
# independence is the compiler's default here.)
#
# A flag the packager already chose in CMAKE_CXX_FLAGS, CPPFLAGS-style
# definitions or CMAKE_EXE_LINKER_FLAGS wins: the same setting is not
# added again, in either sense.
# Sanitizers do their own checking, and fortified calls would hide accesses
# from them.
set(hardening_default ON)
if(SHAPECALC_SANITIZE)
  set(hardening_default OFF)
endif()
option(SHAPECALC_HARDENING "Build with the distribution's hardening flags"
  ${hardening_default})
add_library(shapecalc_hardening INTERFACE)
if(NOT SHAPECALC_HARDENING OR WIN32)
  return()
endif()

include(CheckCXXSourceCompiles)
set(packager_flags "${CMAKE_CXX_FLAGS} ${CMAKE_CXX_FLAGS_${CMAKE_BUILD_TYPE}}")
set(packager_link "${CMAKE_EXE_LINKER_FLAGS} ${CMAKE_EXE_LINKER_FLAGS_${CMAKE_BUILD_TYPE}}")

# Adds `flag` unless the packager's flags match `chosen`, and only where
# the compiler takes it without a word.
function(shapecalc_harden kind chosen flag)
  if(kind STREQUAL "link")
    set(theirs "${packager_link}")
  else()
    set(theirs "${packager_flags}")
  endif()
  if(theirs MATCHES "${chosen}")
    return()
  endif()
  string(MAKE_C_IDENTIFIER "shapecalc_takes${flag}" result)
  set(CMAKE_REQUIRED_QUIET ON)
  if(kind STREQUAL "link")
    set(CMAKE_REQUIRED_LINK_OPTIONS ${flag})
  else()
    set(CMAKE_REQUIRED_FLAGS "${flag} -Werror")
  endif()
  check_cxx_source_compiles("int main() { return 0; }" ${result})
  if(${result})
    if(kind STREQUAL "link")
      target_link_options(shapecalc_hardening INTERFACE ${flag})
    else()
      target_compile_options(shapecalc_hardening INTERFACE ${flag})
    endif()
  endif()
endfunction()

shapecalc_harden(compile "-f(no-)?stack-protector" -fstack-protector-strong)
shapecalc_harden(compile "-f(no-)?stack-clash-protection" -fstack-clash-protection)
shapecalc_harden(compile "-f(no-)?cf-protection" -fcf-protection)
shapecalc_harden(link "-z,?(relro|norelro)" -Wl,-z,relro)
shapecalc_harden(link "-z,?(now|lazy)" -Wl,-z,now)
# Fortification needs the optimiser; a debug build goes without.
if(NOT packager_flags MATCHES "_FORTIFY_SOURCE")
  target_compile_definitions(shapecalc_hardening INTERFACE
    $<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=2>)
endif()
