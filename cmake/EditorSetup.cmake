# SPDX-License-Identifier: MIT
# The editors' set-up of the language server (zelk --lsp). Neovim: the file type of .scr files and
# the start of the server for them, in the site directory that Neovim searches under the
# installation prefix (share/nvim/site); the build tree holds the same layout, so that they can be
# tried before installation. The other editors: the guide with their configuration.
# Needs the file type detection written by cmake/Docs.cmake.

set(ZELK_NVIM_SITE "${ZELK_EDITORS_DIR}/nvim/site")
set(ZELK_NVIM_FTDETECT "${ZELK_NVIM_SITE}/ftdetect/zelkscript.vim")
set(ZELK_NVIM_PLUGIN "${ZELK_NVIM_SITE}/plugin/zelk-lsp.lua")

# The configuration starts the program installed beside it (PREFIX/bin/zelk), found from its own
# place: no path is written into it.
configure_file("${ZELK_RESOURCES_DIR}/nvim/zelk-lsp.lua" "${ZELK_NVIM_PLUGIN}" COPYONLY)

add_custom_command(
  OUTPUT "${ZELK_NVIM_FTDETECT}"
  COMMAND "${CMAKE_COMMAND}" -E copy "${ZELK_VIM_FTDETECT}" "${ZELK_NVIM_FTDETECT}"
  DEPENDS "${ZELK_VIM_FTDETECT}"
  COMMENT "Writing the Neovim file type detection"
  VERBATIM)
add_custom_target(zelk_nvim ALL DEPENDS "${ZELK_NVIM_FTDETECT}")

# The file type detection (and the syntax) reach share/nvim/site through cmake/Docs.cmake; the
# copy here only completes the build tree's layout.
install(FILES "${ZELK_NVIM_PLUGIN}" DESTINATION "${CMAKE_INSTALL_DATADIR}/nvim/site/plugin")

install(FILES "${PROJECT_SOURCE_DIR}/docs/editors.md" DESTINATION "${CMAKE_INSTALL_DOCDIR}")

include("${PROJECT_SOURCE_DIR}/cmake/VscodeExtension.cmake")
