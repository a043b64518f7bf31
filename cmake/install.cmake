# What `cmake --install` puts in place, and the packages cpack makes of it.
if(WIN32)
  # One folder: the program and its documents side by side, as a .zip.
  install(TARGETS shapecalc RUNTIME DESTINATION .)
  install(FILES README.md LICENSE DESTINATION .)
  set(CPACK_GENERATOR ZIP)
else()
  include(GNUInstallDirs)
  install(TARGETS shapecalc RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES man/shapecalc.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES README.md LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR})
  set(CPACK_GENERATOR TGZ DEB)
endif()

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
