# What `cmake --install` puts in place, how to take it away again, and the
# packages cpack makes of it.
if(WIN32)
  # One folder: the program and its documents side by side, as a .zip.
  install(TARGETS shapecalc RUNTIME DESTINATION .)
  install(FILES README.md LICENSE DESTINATION .)
  set(CPACK_GENERATOR ZIP)
else()
  include(GNUInstallDirs)
  # The manual page and the changelog compressed as Debian ships them:
  # gzip -9n keeps neither a name nor a time stamp, so the bytes are the
  # same from every build.
  find_program(GZIP gzip REQUIRED)
  set(compressed)
  foreach(pair "man/shapecalc.1|shapecalc.1.gz" "packaging/changelog|changelog.gz")
    string(REPLACE "|" ";" pair "${pair}")
    list(GET pair 0 source)
    list(GET pair 1 output)
    add_custom_command(OUTPUT ${output}
      COMMAND ${GZIP} -9n -c ${PROJECT_SOURCE_DIR}/${source} > ${output}
      DEPENDS ${PROJECT_SOURCE_DIR}/${source}
      VERBATIM)
    list(APPEND compressed ${PROJECT_BINARY_DIR}/${output})
  endforeach()
  add_custom_target(compressed_docs ALL DEPENDS ${compressed})

  install(TARGETS shapecalc RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${PROJECT_BINARY_DIR}/shapecalc.1.gz
    DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  # The licence travels in the machine-readable copyright file.
  install(FILES README.md packaging/copyright ${PROJECT_BINARY_DIR}/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DOCDIR})
  set(CPACK_GENERATOR TGZ DEB)
endif()

# `cmake --build build --target uninstall` removes what the install put in
# place, file by file. CMake's own install_manifest.txt cannot be trusted
# for that: cpack overwrites it with the paths of the package (/usr/...),
# which after a source install elsewhere would name files that a package
# owns. So the last rule of a real install (not cpack's, which stages
# under DESTDIR or its own folder) keeps a manifest of its own.
string(CONFIGURE [[
  if("$ENV{DESTDIR}" STREQUAL "" AND NOT CMAKE_INSTALL_PREFIX MATCHES "/_CPack_Packages/")
    list(JOIN CMAKE_INSTALL_MANIFEST_FILES "
" installed)
    file(WRITE "@PROJECT_BINARY_DIR@/shapecalc_installed.txt" "${installed}
")
  endif()
]] record_install @ONLY)
install(CODE "${record_install}")
configure_file(cmake/uninstall.cmake.in uninstall.cmake @ONLY)
add_custom_target(uninstall
  COMMAND ${CMAKE_COMMAND} -P ${PROJECT_BINARY_DIR}/uninstall.cmake
  VERBATIM)

# Packages are dated by the last commit (or a fixed day without git) unless
# SOURCE_DATE_EPOCH says otherwise, so two builds of one commit give the
# same bytes. cpack reads the date from its environment; the project's
# CPack configuration file sets it there.
set(SHAPECALC_SOURCE_DATE_EPOCH "$ENV{SOURCE_DATE_EPOCH}")
if(SHAPECALC_SOURCE_DATE_EPOCH STREQUAL "")
  find_package(Git QUIET)
  if(GIT_FOUND)
    execute_process(COMMAND ${GIT_EXECUTABLE} log -1 --format=%ct
      WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
      OUTPUT_VARIABLE SHAPECALC_SOURCE_DATE_EPOCH
      OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  endif()
  if(NOT SHAPECALC_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
    set(SHAPECALC_SOURCE_DATE_EPOCH 1796947200)  # 2026-12-11
  endif()
endif()
configure_file(cmake/cpack_project_config.cmake.in cpack_project_config.cmake @ONLY)
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_BINARY_DIR}/cpack_project_config.cmake)

set(CPACK_PACKAGE_VENDOR "The shapecalc developers")
set(CPACK_PACKAGE_CONTACT "The shapecalc developers <shapecalc@users.noreply.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION
"shapecalc asks for a shape (circle, square, cuboid), a quantity (area,
circumference, perimeter, volume, surface) and the shape's dimensions, and
prints the quantity with six decimals. Its dialogue, its single- and
double-precision arithmetic and its handling of bad input are exact and
fixed, so scripts can drive it as safely as a person at a terminal.")
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
set(CPACK_RESOURCE_FILE_README "${PROJECT_SOURCE_DIR}/README.md")
set(CPACK_PACKAGE_FILE_NAME "${PROJECT_NAME}-${PROJECT_VERSION}-${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR}")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION math)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://example.invalid/shapecalc")
include(CPack)
