# SPDX-License-Identifier: MIT
# zelk.exe's resources: the version information (the project's one version, with the product and
# file descriptions of the original's version resource), the icon, and the manifest that makes
# it aware of long paths (with the "\\?\" form for longer ones, it reaches every path).

enable_language(RC)

find_program(ZELK_RSVG_CONVERT rsvg-convert REQUIRED)
find_program(ZELK_IMAGEMAGICK NAMES convert magick REQUIRED)
set(ZELK_WINDOWS_DIR "${PROJECT_BINARY_DIR}/windows")
set(ZELK_ICON "${ZELK_WINDOWS_DIR}/zelk.ico")
add_custom_command(OUTPUT "${ZELK_ICON}"
  COMMAND "${CMAKE_COMMAND}" -E make_directory "${ZELK_WINDOWS_DIR}/icon"
  COMMAND "${ZELK_RSVG_CONVERT}" -w 16 -h 16 -o "${ZELK_WINDOWS_DIR}/icon/16.png" "${PROJECT_SOURCE_DIR}/resources/zelk.svg"
  COMMAND "${ZELK_RSVG_CONVERT}" -w 32 -h 32 -o "${ZELK_WINDOWS_DIR}/icon/32.png" "${PROJECT_SOURCE_DIR}/resources/zelk.svg"
  COMMAND "${ZELK_RSVG_CONVERT}" -w 48 -h 48 -o "${ZELK_WINDOWS_DIR}/icon/48.png" "${PROJECT_SOURCE_DIR}/resources/zelk.svg"
  COMMAND "${ZELK_RSVG_CONVERT}" -w 256 -h 256 -o "${ZELK_WINDOWS_DIR}/icon/256.png" "${PROJECT_SOURCE_DIR}/resources/zelk.svg"
  COMMAND "${ZELK_IMAGEMAGICK}" "${ZELK_WINDOWS_DIR}/icon/16.png" "${ZELK_WINDOWS_DIR}/icon/32.png"
          "${ZELK_WINDOWS_DIR}/icon/48.png" "${ZELK_WINDOWS_DIR}/icon/256.png" "${ZELK_ICON}"
  DEPENDS "${PROJECT_SOURCE_DIR}/resources/zelk.svg"
  COMMENT "Drawing the Windows icon"
  VERBATIM)
add_custom_target(zelk_windows_icon DEPENDS "${ZELK_ICON}")

configure_file("${PROJECT_SOURCE_DIR}/resources/windows/zelk.rc.in" "${ZELK_WINDOWS_DIR}/zelk.rc" @ONLY)
configure_file("${PROJECT_SOURCE_DIR}/resources/windows/zelk.manifest" "${ZELK_WINDOWS_DIR}/zelk.manifest" COPYONLY)
target_sources(zelk PRIVATE "${ZELK_WINDOWS_DIR}/zelk.rc")
set_source_files_properties("${ZELK_WINDOWS_DIR}/zelk.rc" PROPERTIES
  OBJECT_DEPENDS "${ZELK_ICON};${ZELK_WINDOWS_DIR}/zelk.manifest")
add_dependencies(zelk zelk_windows_icon)
