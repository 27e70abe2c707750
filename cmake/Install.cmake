# SPDX-License-Identifier: MIT
# Where Zelk goes on a Linux desktop, and the Debian package that carries it there.
#
# No path of the build or of the installation is compiled into the programs: they find their
# data (the language reference) relative to themselves, so the installed tree can be moved and
# the build tree works before installation.

# The documentation directory is named after the program, not after the CMake project.
set(CMAKE_INSTALL_DOCDIR "share/doc/zelk" CACHE PATH "Documentation root (DOCDIR)")
include(GNUInstallDirs)

# The program's data, share/zelk/: the language reference, written by zelk-docgen
# (cmake/Docs.cmake) into the same place of the build tree, where the programs of the build find
# it as the installed ones do (src/console/ConsoleCommands.cpp).
set(ZELK_DATA_DIR "share/zelk")
set(ZELK_REFERENCE_FILE_NAME "zelk-reference.html")
set(ZELK_REFERENCE_BUILT "${PROJECT_BINARY_DIR}/${ZELK_DATA_DIR}/${ZELK_REFERENCE_FILE_NAME}")

set(ZELK_RESOURCES_DIR "${PROJECT_SOURCE_DIR}/resources")

# The application menu entry, its icon, and the file type of .scr files, so that the desktop
# offers Zelk for them.
install(FILES "${ZELK_RESOURCES_DIR}/zelk.desktop"
  DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
install(FILES "${ZELK_RESOURCES_DIR}/zelk.svg"
  DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps")
install(FILES "${ZELK_RESOURCES_DIR}/zelk-mime.xml"
  DESTINATION "${CMAKE_INSTALL_DATADIR}/mime/packages"
  RENAME zelk.xml)

# The manual page of the command line, with the version of the build, and the guide to building
# and installing.
set(ZELK_MAN_PAGE "${PROJECT_BINARY_DIR}/docs/zelk.1")
configure_file("${PROJECT_SOURCE_DIR}/docs/zelk.1.in" "${ZELK_MAN_PAGE}" @ONLY)
install(FILES "${ZELK_MAN_PAGE}" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
install(FILES "${PROJECT_SOURCE_DIR}/docs/INSTALL.md"
  DESTINATION "${CMAKE_INSTALL_DOCDIR}")

# The Debian package: `cpack -G DEB` in the build directory.
set(ZELK_PACKAGE_MAINTAINER "Zelk maintainers <zelk@localhost>"
  CACHE STRING "Maintainer field of the Debian package")
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "zelk")
set(CPACK_PACKAGE_VENDOR "Zelk")
set(CPACK_PACKAGE_CONTACT "${ZELK_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "compiler and console for ZelkScript scene scripts of Quake2")
set(CPACK_PACKAGE_DESCRIPTION "Zelk compiles ZelkScript scene scripts (.scr) into the \
compiled scripts (.dat) that a Quake2 modification runs for its actors. Its console window sets \
up the compile and launches Quake2; the same console runs from the command line for builds. The \
package holds the language reference, a manual page, and syntax highlighting for Vim and \
TextMate-grammar editors.")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
# The programs find their data relative to themselves: `cpack -G DEB` in any build directory
# gives a package for /usr, whatever CMAKE_INSTALL_PREFIX says.
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "devel")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
if(ZELK_HOME_URL)
  set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${ZELK_HOME_URL}")
endif()
# The package's dependencies come from dpkg-shlibdeps (dpkg-dev), which reads the libraries that
# the program links; without it, the desktop console's Qt 6 Widgets runtime is named here.
find_program(ZELK_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(ZELK_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
elseif(ZELK_BUILD_GUI)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6widgets6 (>= 6.2), libqt6gui6 (>= 6.2), libqt6core6 (>= 6.2)")
endif()
# `home` and Help > Home open the reference with xdg-open (through Qt on the desktop).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
include(CPack)
