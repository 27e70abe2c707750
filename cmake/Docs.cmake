# SPDX-License-Identifier: MIT
# The language reference and the editor support files, written from the command table at build
# time by zelk-docgen, so that they can never drift from the language that Zelk reads.
# Needs the language library (zelk_language) and the places set by cmake/Install.cmake.

add_subdirectory("${PROJECT_SOURCE_DIR}/tools" "${PROJECT_BINARY_DIR}/tools")

# The build tree holds the files in the layout the editors read, so that they can be tried
# before installation (a Vim runtimepath entry, a grammar file).
set(ZELK_EDITORS_DIR "${PROJECT_BINARY_DIR}/editors")
set(ZELK_VIM_SYNTAX "${ZELK_EDITORS_DIR}/vim/syntax/zelkscript.vim")
set(ZELK_VIM_FTDETECT "${ZELK_EDITORS_DIR}/vim/ftdetect/zelkscript.vim")
set(ZELK_TEXTMATE_GRAMMAR "${ZELK_EDITORS_DIR}/zelkscript.tmLanguage.json")
set(ZELK_KATE_SYNTAX "${ZELK_EDITORS_DIR}/kate/syntax/zelkscript.xml")
set(ZELK_EMACS_TEMPLATE "${PROJECT_SOURCE_DIR}/editors/emacs/zelk-mode.el.in")
set(ZELK_EMACS_MODE "${ZELK_EDITORS_DIR}/emacs/zelk-mode.el")

add_custom_command(
  OUTPUT "${ZELK_REFERENCE_BUILT}" "${ZELK_VIM_SYNTAX}" "${ZELK_VIM_FTDETECT}"
         "${ZELK_TEXTMATE_GRAMMAR}" "${ZELK_KATE_SYNTAX}" "${ZELK_EMACS_MODE}"
  COMMAND "${CMAKE_COMMAND}" -E make_directory "${PROJECT_BINARY_DIR}/${ZELK_DATA_DIR}"
          "${ZELK_EDITORS_DIR}/vim/syntax" "${ZELK_EDITORS_DIR}/vim/ftdetect"
          "${ZELK_EDITORS_DIR}/kate/syntax" "${ZELK_EDITORS_DIR}/emacs"
  COMMAND zelk-docgen "${PROJECT_VERSION}" "${ZELK_REFERENCE_BUILT}" "${ZELK_VIM_SYNTAX}"
          "${ZELK_VIM_FTDETECT}" "${ZELK_TEXTMATE_GRAMMAR}" "${ZELK_KATE_SYNTAX}"
          "${ZELK_EMACS_TEMPLATE}" "${ZELK_EMACS_MODE}"
  DEPENDS zelk-docgen "${ZELK_EMACS_TEMPLATE}"
  COMMENT "Writing the ZelkScript reference and the editor support files"
  VERBATIM)
add_custom_target(zelk_docs ALL
  DEPENDS "${ZELK_REFERENCE_BUILT}" "${ZELK_VIM_SYNTAX}" "${ZELK_VIM_FTDETECT}"
          "${ZELK_TEXTMATE_GRAMMAR}" "${ZELK_KATE_SYNTAX}" "${ZELK_EMACS_MODE}")

# The reference is data of the program (it works without /usr/share/doc); the documentation
# directory links to it.
install(FILES "${ZELK_REFERENCE_BUILT}" DESTINATION "${ZELK_DATA_DIR}")
file(RELATIVE_PATH ZELK_DOC_TO_DATA "/${CMAKE_INSTALL_DOCDIR}" "/${ZELK_DATA_DIR}")
file(MAKE_DIRECTORY "${PROJECT_BINARY_DIR}/docs/links")
file(CREATE_LINK "${ZELK_DOC_TO_DATA}/${ZELK_REFERENCE_FILE_NAME}"
  "${PROJECT_BINARY_DIR}/docs/links/${ZELK_REFERENCE_FILE_NAME}" SYMBOLIC)
install(FILES "${PROJECT_BINARY_DIR}/docs/links/${ZELK_REFERENCE_FILE_NAME}"
  DESTINATION "${CMAKE_INSTALL_DOCDIR}")
# The same files for Vim (vimfiles) and Neovim (nvim/site, read from every directory of
# XDG_DATA_DIRS), and the Kate definition where KSyntaxHighlighting looks in XDG_DATA_DIRS.
foreach(zelk_vim_dir "vim/vimfiles" "nvim/site")
  install(FILES "${ZELK_VIM_SYNTAX}" DESTINATION "${CMAKE_INSTALL_DATADIR}/${zelk_vim_dir}/syntax")
  install(FILES "${ZELK_VIM_FTDETECT}"
    DESTINATION "${CMAKE_INSTALL_DATADIR}/${zelk_vim_dir}/ftdetect")
endforeach()
install(FILES "${ZELK_KATE_SYNTAX}"
  DESTINATION "${CMAKE_INSTALL_DATADIR}/org.kde.syntax-highlighting/syntax")
install(FILES "${ZELK_TEXTMATE_GRAMMAR}" DESTINATION "${CMAKE_INSTALL_DATADIR}/zelk")
# The Emacs mode, in the site-lisp folder on the load path of Debian's Emacs (also under
# /usr/local); the Debian package adds the file of /etc/emacs/site-start.d that sets it up
# (cmake/EditorSetup.cmake).
install(FILES "${ZELK_EMACS_MODE}" DESTINATION "${CMAKE_INSTALL_DATADIR}/emacs/site-lisp")
