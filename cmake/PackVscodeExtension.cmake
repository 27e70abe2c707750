# SPDX-License-Identifier: MIT
# Packs the VS Code extension (cmake -P): lays out the extension in STAGE (its files from the
# source folder, the grammar written from the command table, the licence, the version of the
# build, and for a platform extension the program it carries), then runs vsce there.
#
#   cmake -DSOURCE=editors/vscode -DGRAMMAR=zelkscript.tmLanguage.json -DLICENSE=LICENSE
#         -DVERSION=1.1.0 -DSTAGE=dir -DOUT=zelk-1.1.0.vsix [-DPLATFORM=win32-x64 -DEXE=zelk.exe]
#         -P PackVscodeExtension.cmake
#
# The npm packages come from SOURCE/node_modules (scripts/npm-deps.sh installs them with npm ci);
# packing never reaches the network.
foreach(var SOURCE GRAMMAR LICENSE VERSION STAGE OUT)
  if(NOT DEFINED ${var} OR "${${var}}" STREQUAL "")
    message(FATAL_ERROR "PackVscodeExtension.cmake needs -D${var}=...")
  endif()
endforeach()
set(vsce "${SOURCE}/node_modules/.bin/vsce")
if(NOT EXISTS "${vsce}")
  message(FATAL_ERROR "The npm packages of the VS Code extension are not installed "
    "(${SOURCE}/node_modules): run scripts/npm-deps.sh, which runs npm ci there.")
endif()
if(PLATFORM)
  if(NOT DEFINED EXE OR NOT EXE MATCHES "\\.[eE][xX][eE]$" OR IS_DIRECTORY "${EXE}"
     OR NOT EXISTS "${EXE}")
    message(FATAL_ERROR "The ${PLATFORM} extension carries zelk.exe: '${EXE}' is not an .exe file.")
  endif()
endif()

file(REMOVE_RECURSE "${STAGE}")
file(MAKE_DIRECTORY "${STAGE}/syntaxes")
foreach(name extension.js language-configuration.json README.md .vscodeignore)
  file(COPY_FILE "${SOURCE}/${name}" "${STAGE}/${name}" ONLY_IF_DIFFERENT)
endforeach()
file(COPY_FILE "${LICENSE}" "${STAGE}/LICENSE" ONLY_IF_DIFFERENT)
file(COPY_FILE "${GRAMMAR}" "${STAGE}/syntaxes/zelkscript.tmLanguage.json" ONLY_IF_DIFFERENT)
file(READ "${SOURCE}/package.json" manifest)
string(JSON manifest SET "${manifest}" version "\"${VERSION}\"")
file(WRITE "${STAGE}/package.json" "${manifest}\n")
# The packages that the extension runs (its dependencies, not the tools of the build), copied
# in their places: vsce takes the dependencies that npm lists for the folder.
execute_process(
  COMMAND npm ls --omit=dev --parseable --all
  WORKING_DIRECTORY "${SOURCE}"
  RESULT_VARIABLE status
  OUTPUT_VARIABLE packages
  ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "npm ls in ${SOURCE} failed (${status}): ${errors}\n"
    "run scripts/npm-deps.sh to install the packages that package-lock.json pins.")
endif()
string(REGEX REPLACE "\n$" "" packages "${packages}")
string(REPLACE "\n" ";" packages "${packages}")
foreach(package IN LISTS packages)
  file(RELATIVE_PATH place "${SOURCE}" "${package}")
  if(place STREQUAL "")
    continue()
  endif()
  file(COPY "${package}/" DESTINATION "${STAGE}/${place}" PATTERN node_modules EXCLUDE)
endforeach()
set(target_args)
if(PLATFORM)
  file(MAKE_DIRECTORY "${STAGE}/bin")
  file(COPY_FILE "${EXE}" "${STAGE}/bin/zelk.exe")
  set(target_args --target "${PLATFORM}")
endif()

get_filename_component(out_dir "${OUT}" DIRECTORY)
file(MAKE_DIRECTORY "${out_dir}")
file(REMOVE "${OUT}")
execute_process(
  COMMAND "${vsce}" package ${target_args} --out "${OUT}"
  WORKING_DIRECTORY "${STAGE}"
  RESULT_VARIABLE status
  OUTPUT_VARIABLE output
  ERROR_VARIABLE output)
if(NOT status EQUAL 0 OR NOT EXISTS "${OUT}")
  message(FATAL_ERROR "vsce package failed (${status}):\n${output}")
endif()
string(REGEX MATCH "DONE[^\n]*" done "${output}")
message(STATUS "${done}")
