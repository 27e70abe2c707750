# SPDX-License-Identifier: MIT
# Where Zelk goes on a Linux desktop, and the Debian package that carries it there.
#
# No path of the build or of the installation is compiled into the programs: they find their
# data (the language reference) relative to themselves, so the installed tree can be moved and
# the build tree works before installation.

# The documentation directory is named after the program, not after the CMake project.
set(CMAKE_INSTALL_DOCDIR "share/doc/zelk" CACHE PATH "Documentation root (DOCDIR)")
include(GNUInstallDirs)

# Who answers for the package and where the project lives: the package's Maintainer field, the
# manual page's REPORTING BUGS, the copyright file and the AppStream metadata. The defaults are
# valid placeholders (example.org); a distributor sets their own.
set(ZELK_PACKAGE_MAINTAINER "The Zelk Team <zelk@example.org>"
  CACHE STRING "Maintainer field of the Debian package, and where the manual page sends bugs")
# A build directory configured before the default became a valid address gets the new default.
if(ZELK_PACKAGE_MAINTAINER STREQUAL "Zelk maintainers <zelk@localhost>")
  set(ZELK_PACKAGE_MAINTAINER "The Zelk Team <zelk@example.org>" CACHE STRING
    "Maintainer field of the Debian package, and where the manual page sends bugs" FORCE)
endif()
set(ZELK_PROJECT_URL "https://zelk.example.org"
  CACHE STRING "The project's web address: package Homepage, AppStream homepage and screenshot")
set(ZELK_DEBIAN_REVISION "1" CACHE STRING "Debian revision of the package (1.1.0-REVISION)")
set(ZELK_PACKAGE_VERSION "${PROJECT_VERSION}-${ZELK_DEBIAN_REVISION}")

# The release date as Debian's changelog writes it (RFC 2822), with its day of the week.
string(REGEX MATCH "^([0-9]+)-([0-9]+)-([0-9]+)$" zelk_date "${ZELK_RELEASE_DATE}")
if(NOT zelk_date)
  message(FATAL_ERROR "ZELK_RELEASE_DATE must be YEAR-MM-DD, not '${ZELK_RELEASE_DATE}'")
endif()
math(EXPR zelk_year "${CMAKE_MATCH_1}")
math(EXPR zelk_month "${CMAKE_MATCH_2}")
math(EXPR zelk_day "${CMAKE_MATCH_3}")
# Sakamoto's rule: 0 is Sunday.
set(zelk_month_offsets 0 3 2 5 0 3 5 1 4 6 2 4)
math(EXPR zelk_index "${zelk_month} - 1")
list(GET zelk_month_offsets ${zelk_index} zelk_offset)
set(zelk_y ${zelk_year})
if(zelk_month LESS 3)
  math(EXPR zelk_y "${zelk_year} - 1")
endif()
math(EXPR zelk_weekday
  "(${zelk_y} + ${zelk_y} / 4 - ${zelk_y} / 100 + ${zelk_y} / 400 + ${zelk_offset} + ${zelk_day}) % 7")
set(zelk_weekday_names Sun Mon Tue Wed Thu Fri Sat)
list(GET zelk_weekday_names ${zelk_weekday} zelk_weekday_name)
set(zelk_month_names Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
list(GET zelk_month_names ${zelk_index} zelk_month_name)
set(ZELK_RELEASE_DATE_RFC2822
  "${zelk_weekday_name}, ${CMAKE_MATCH_3} ${zelk_month_name} ${zelk_year} 12:00:00 +0000")

# The program's data, share/zelk/: the language reference, written by zelk-docgen
# (cmake/Docs.cmake) into the same place of the build tree, where the programs of the build find
# it as the installed ones do (src/console/ConsoleCommands.cpp).
set(ZELK_DATA_DIR "share/zelk")
set(ZELK_REFERENCE_FILE_NAME "zelk-reference.html")
set(ZELK_REFERENCE_BUILT "${PROJECT_BINARY_DIR}/${ZELK_DATA_DIR}/${ZELK_REFERENCE_FILE_NAME}")

set(ZELK_RESOURCES_DIR "${PROJECT_SOURCE_DIR}/resources")

# Files that Debian wants compressed: gzip -9n, without a name or a time stamp, so that every
# build gives the same bytes.
find_program(ZELK_GZIP gzip REQUIRED)
function(zelk_gzip source output)
  string(REGEX REPLACE "\\.gz$" "" stem "${output}")
  set(copy)
  if(NOT stem STREQUAL source)
    set(copy COMMAND "${CMAKE_COMMAND}" -E copy "${source}" "${stem}")
  endif()
  add_custom_command(OUTPUT "${output}"
    ${copy}
    COMMAND "${ZELK_GZIP}" -9nfk "${stem}"
    DEPENDS "${source}"
    COMMENT "Compressing ${output}"
    VERBATIM)
endfunction()

# The application menu entry, its icon, and the file type of .scr files, so that the desktop
# offers Zelk for them.
install(FILES "${ZELK_RESOURCES_DIR}/zelk.desktop"
  DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
install(FILES "${ZELK_RESOURCES_DIR}/zelk.svg"
  DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps")
install(FILES "${ZELK_RESOURCES_DIR}/zelk-mime.xml"
  DESTINATION "${CMAKE_INSTALL_DATADIR}/mime/packages"
  RENAME zelk.xml)

# The icon at the usual sizes, rendered from the SVG at build time.
set(ZELK_ICON_SIZES 16 22 24 32 48 64 128 256)
find_program(ZELK_RSVG_CONVERT rsvg-convert REQUIRED)
set(zelk_icons)
foreach(size IN LISTS ZELK_ICON_SIZES)
  set(dir "${PROJECT_BINARY_DIR}/icons/hicolor/${size}x${size}/apps")
  add_custom_command(OUTPUT "${dir}/zelk.png"
    COMMAND "${CMAKE_COMMAND}" -E make_directory "${dir}"
    COMMAND "${ZELK_RSVG_CONVERT}" --width=${size} --height=${size} --keep-aspect-ratio
            --output "${dir}/zelk.png" "${ZELK_RESOURCES_DIR}/zelk.svg"
    DEPENDS "${ZELK_RESOURCES_DIR}/zelk.svg"
    COMMENT "Rendering the ${size}x${size} icon"
    VERBATIM)
  list(APPEND zelk_icons "${dir}/zelk.png")
  install(FILES "${dir}/zelk.png"
    DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps")
endforeach()

# The AppStream metadata, for software centres.
set(ZELK_APPSTREAM_ID "org.example.zelk" CACHE STRING
  "AppStream component id: the project's domain reversed, and the program's name")
set(ZELK_METAINFO "${PROJECT_BINARY_DIR}/share/metainfo/${ZELK_APPSTREAM_ID}.metainfo.xml")
configure_file("${ZELK_RESOURCES_DIR}/zelk.metainfo.xml.in" "${ZELK_METAINFO}" @ONLY)
install(FILES "${ZELK_METAINFO}" DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")

# Completion of the command line for bash and zsh.
install(FILES "${ZELK_RESOURCES_DIR}/completions/zelk.bash"
  DESTINATION "${CMAKE_INSTALL_DATADIR}/bash-completion/completions" RENAME zelk)
install(FILES "${ZELK_RESOURCES_DIR}/completions/_zelk"
  DESTINATION "${CMAKE_INSTALL_DATADIR}/zsh/vendor-completions")

# The manual page of the command line, with the version of the build.
string(REGEX REPLACE "-" "\\\\-" ZELK_PACKAGE_MAINTAINER_TEXT "${ZELK_PACKAGE_MAINTAINER}")
set(ZELK_MAN_PAGE "${PROJECT_BINARY_DIR}/docs/zelk.1")
configure_file("${PROJECT_SOURCE_DIR}/docs/zelk.1.in" "${ZELK_MAN_PAGE}" @ONLY)
zelk_gzip("${ZELK_MAN_PAGE}" "${ZELK_MAN_PAGE}.gz")
install(FILES "${ZELK_MAN_PAGE}.gz" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")

# The documentation directory: the copyright in Debian's machine-readable format, the changes
# of the release, and the Debian changelog (the guide to building, INSTALL.md, stays with the
# sources).
file(READ "${PROJECT_SOURCE_DIR}/LICENSE" zelk_license)
string(FIND "${zelk_license}" "Permission is hereby granted" zelk_at)
string(SUBSTRING "${zelk_license}" ${zelk_at} -1 zelk_license)
string(STRIP "${zelk_license}" zelk_license)
string(REGEX REPLACE "\n\n" "\n.\n" zelk_license "${zelk_license}")
string(REGEX REPLACE "\n" "\n " ZELK_LICENSE_PARAGRAPHS " ${zelk_license}")
set(ZELK_PACKAGE_DOCS "${PROJECT_BINARY_DIR}/packaging")
configure_file("${PROJECT_SOURCE_DIR}/packaging/debian/copyright.in"
  "${ZELK_PACKAGE_DOCS}/copyright" @ONLY)
configure_file("${PROJECT_SOURCE_DIR}/packaging/debian/changelog.Debian.in"
  "${ZELK_PACKAGE_DOCS}/changelog.Debian" @ONLY)
zelk_gzip("${ZELK_PACKAGE_DOCS}/changelog.Debian" "${ZELK_PACKAGE_DOCS}/changelog.Debian.gz")
zelk_gzip("${PROJECT_SOURCE_DIR}/CHANGELOG.md" "${ZELK_PACKAGE_DOCS}/changelog.gz")
install(FILES "${ZELK_PACKAGE_DOCS}/copyright" "${ZELK_PACKAGE_DOCS}/changelog.gz"
              "${ZELK_PACKAGE_DOCS}/changelog.Debian.gz"
  DESTINATION "${CMAKE_INSTALL_DOCDIR}")
# The tags that do not apply to this package, each with its reason (docs/INSTALL.md lists them).
install(FILES "${PROJECT_SOURCE_DIR}/packaging/debian/lintian-overrides"
  DESTINATION "${CMAKE_INSTALL_DATADIR}/lintian/overrides" RENAME zelk)

add_custom_target(zelk_install_files ALL
  DEPENDS ${zelk_icons} "${ZELK_MAN_PAGE}.gz" "${ZELK_PACKAGE_DOCS}/changelog.Debian.gz"
          "${ZELK_PACKAGE_DOCS}/changelog.gz")

# The Debian package: `cpack -G DEB` in any build directory gives a package for /usr, whatever
# CMAKE_INSTALL_PREFIX says (the programs find their data relative to themselves).
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "zelk")
set(CPACK_PACKAGE_VENDOR "The Zelk Team")
set(CPACK_PACKAGE_CONTACT "${ZELK_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_DEBIAN_PACKAGE_RELEASE "${ZELK_DEBIAN_REVISION}")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_SECTION "devel")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${ZELK_PROJECT_URL}")
# The synopsis, then the extended description in lines shorter than 80 columns.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "compiler and console for ZelkScript scene scripts of Quake2
Zelk compiles ZelkScript scene scripts (.scr) into the compiled scripts
(.dat) that a Quake2 modification runs for its actors. Its console window
sets up the compile and launches Quake2; the same console runs from the
command line for build systems.

The package holds the language reference, a manual page, syntax files for
Vim, Neovim, Kate and TextMate-grammar editors, an Emacs mode, and
completion for bash and zsh.")
# The libraries that zelk and zelk-desktop link come from dpkg-shlibdeps (dpkg-dev). Qt loads
# more at run time, which no linker sees: the SVG icon engine and image format of the toolbar
# (libqt6svg6); the X11 platform plugin is part of libqt6gui6, the Wayland one of qt6-wayland.
find_program(ZELK_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(ZELK_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()
if(ZELK_BUILD_GUI)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6 (>= 6.2)")
  if(NOT ZELK_DPKG_SHLIBDEPS)
    string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS
      ", libqt6widgets6 (>= 6.2), libqt6gui6 (>= 6.2), libqt6core6 (>= 6.2)")
  endif()
  # `home` and Help > Home open pages with xdg-open (through Qt on the desktop).
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, qt6-wayland")
else()
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
endif()
# Emacs finds its mode (cmake/Docs.cmake installs it) through a file of /etc/emacs/site-start.d,
# which only the Debian package carries (an installation under a prefix has no /etc of its own):
# CPack puts it into the package's tree before it packs, and the package lists it as a
# configuration file.
set(ZELK_EMACS_SITE_START "${PROJECT_SOURCE_DIR}/editors/emacs/50zelk.el")
set(ZELK_EMACS_SITE_START_DIR "etc/emacs/site-start.d")
set(ZELK_DEBIAN_CONFFILES "${PROJECT_BINARY_DIR}/packaging/conffiles")
file(WRITE "${ZELK_DEBIAN_CONFFILES}" "/${ZELK_EMACS_SITE_START_DIR}/50zelk.el\n")
list(APPEND CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA "${ZELK_DEBIAN_CONFFILES}")
set(ZELK_CPACK_ADD_SITE_START "${PROJECT_BINARY_DIR}/packaging/AddEmacsSiteStart.cmake")
file(WRITE "${ZELK_CPACK_ADD_SITE_START}"
  "file(COPY \"${ZELK_EMACS_SITE_START}\"\n"
  "  DESTINATION \"\${CPACK_TEMPORARY_DIRECTORY}/${ZELK_EMACS_SITE_START_DIR}\"\n"
  "  FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)\n")
list(APPEND CPACK_PRE_BUILD_SCRIPTS "${ZELK_CPACK_ADD_SITE_START}")

# zelk --graph writes a graph that Graphviz's dot draws.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "graphviz")
include(CPack)
