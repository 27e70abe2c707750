# SPDX-License-Identifier: MIT
# The VS Code extension (editors/vscode): `cmake --build BUILD --target vscode-extension` packs
# editors/vscode/zelk-VERSION.vsix in the build folder, with the grammar written from the command
# table. With ZELK_WINDOWS_EXE set to a built zelk.exe it also packs the win32-x64 extension
# (zelk-win32-x64-VERSION.vsix) that carries that program. The npm packages (vsce, the language
# client) are installed by scripts/npm-deps.sh; the default build neither needs nor fetches them.
# Needs the grammar of cmake/Docs.cmake.

set(ZELK_VSCODE_SOURCE "${PROJECT_SOURCE_DIR}/editors/vscode")
set(ZELK_VSCODE_DIR "${ZELK_EDITORS_DIR}/vscode")
set(ZELK_VSCODE_PACK "${PROJECT_SOURCE_DIR}/cmake/PackVscodeExtension.cmake")
set(ZELK_VSCODE_VSIX "${ZELK_VSCODE_DIR}/zelk-${PROJECT_VERSION}.vsix")
set(ZELK_VSCODE_WIN32_VSIX "${ZELK_VSCODE_DIR}/zelk-win32-x64-${PROJECT_VERSION}.vsix")
set(ZELK_WINDOWS_EXE "" CACHE FILEPATH
  "A built zelk.exe: vscode-extension then also packs the win32-x64 extension that carries it")

set(zelk_vscode_inputs
  "${ZELK_VSCODE_SOURCE}/package.json" "${ZELK_VSCODE_SOURCE}/package-lock.json"
  "${ZELK_VSCODE_SOURCE}/extension.js" "${ZELK_VSCODE_SOURCE}/language-configuration.json"
  "${ZELK_VSCODE_SOURCE}/README.md" "${ZELK_VSCODE_SOURCE}/.vscodeignore"
  "${PROJECT_SOURCE_DIR}/LICENSE" "${ZELK_TEXTMATE_GRAMMAR}" "${ZELK_VSCODE_PACK}")
set(zelk_vscode_pack
  "${CMAKE_COMMAND}" "-DSOURCE=${ZELK_VSCODE_SOURCE}" "-DGRAMMAR=${ZELK_TEXTMATE_GRAMMAR}"
  "-DLICENSE=${PROJECT_SOURCE_DIR}/LICENSE" "-DVERSION=${PROJECT_VERSION}")

add_custom_command(
  OUTPUT "${ZELK_VSCODE_VSIX}"
  COMMAND ${zelk_vscode_pack} "-DSTAGE=${ZELK_VSCODE_DIR}/extension" "-DOUT=${ZELK_VSCODE_VSIX}"
          -P "${ZELK_VSCODE_PACK}"
  DEPENDS ${zelk_vscode_inputs} zelk_docs
  COMMENT "Packing the VS Code extension"
  VERBATIM)
set(zelk_vscode_outputs "${ZELK_VSCODE_VSIX}")

if(ZELK_WINDOWS_EXE)
  if(NOT ZELK_WINDOWS_EXE MATCHES "\\.[eE][xX][eE]$")
    message(FATAL_ERROR "ZELK_WINDOWS_EXE names the zelk.exe that the Windows extension carries, "
      "not '${ZELK_WINDOWS_EXE}'")
  endif()
  add_custom_command(
    OUTPUT "${ZELK_VSCODE_WIN32_VSIX}"
    COMMAND ${zelk_vscode_pack} "-DSTAGE=${ZELK_VSCODE_DIR}/extension-win32-x64"
            "-DOUT=${ZELK_VSCODE_WIN32_VSIX}" -DPLATFORM=win32-x64 "-DEXE=${ZELK_WINDOWS_EXE}"
            -P "${ZELK_VSCODE_PACK}"
    DEPENDS ${zelk_vscode_inputs} "${ZELK_WINDOWS_EXE}" zelk_docs
    COMMENT "Packing the VS Code extension for Windows (win32-x64) with ${ZELK_WINDOWS_EXE}"
    VERBATIM)
  list(APPEND zelk_vscode_outputs "${ZELK_VSCODE_WIN32_VSIX}")
endif()

add_custom_target(vscode-extension DEPENDS ${zelk_vscode_outputs})
