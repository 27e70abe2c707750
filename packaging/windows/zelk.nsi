; SPDX-License-Identifier: MIT
; The Zelk installer for Windows, made by scripts/package-windows.sh with makensis:
;   -DVERSION=1.1.0 -DSTAGE=<the staged zip folder> -DOUTFILE=<setup.exe> [-DZELK_DESKTOP]
; For the current user (no administrator rights needed) or for all users (/AllUsers); an entry
; in Apps & features with the uninstaller; optionally the folder on PATH (/AddToPath when silent).
; It never associates .scr with Zelk: on Windows .scr is an executable type (screen savers).
; A 64-bit installer for a 64-bit program (and for a Wine without 32-bit support).
Target amd64-unicode
SetCompressor /SOLID lzma
Name "Zelk ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel user

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Zelk"
!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_INSTALLMODE_DEFAULT_CURRENTUSER
!define MULTIUSER_INSTALLMODE_INSTDIR "Zelk"
!define MULTIUSER_USE_PROGRAMFILES64
!include MultiUser.nsh
!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WordFunc.nsh
!include WinMessages.nsh

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "Zelk Application"
VIAddVersionKey "FileDescription" "Zelk Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright (C) 1998, 2026 The Zelk Team"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${STAGE}\LICENSE"
!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; The PATH value of the chosen install mode, read and written whole. NSIS strings hold 1023
; characters: a longer PATH is never read into one (it would come back cut), and is left as it
; is, with a message that says what to add by hand.
!define PATH_LIMIT 1000
Var PathRoot      ; HKEY_CURRENT_USER or HKEY_LOCAL_MACHINE, for the System calls
Var PathKey

!macro ChoosePathKey
  ${If} $MultiUser.InstallMode == "AllUsers"
    StrCpy $PathRoot 0x80000002
    StrCpy $PathKey "SYSTEM\CurrentControlSet\Control\Session Manager\Environment"
  ${Else}
    StrCpy $PathRoot 0x80000001
    StrCpy $PathKey "Environment"
  ${EndIf}
!macroend

; $0: the length of PATH in characters (0 when it is not set).
!macro PathLength
  System::Call 'advapi32::RegGetValueW(p $PathRoot, w "$PathKey", w "Path", i 0x0000FFFF, p 0, p 0, *i 0 r1) i .r2'
  ${If} $2 == 0
    IntOp $0 $1 / 2
  ${Else}
    StrCpy $0 0
  ${EndIf}
!macroend

!macro ReadPath
  ${If} $MultiUser.InstallMode == "AllUsers"
    ReadRegStr $1 HKLM "$PathKey" "Path"
  ${Else}
    ReadRegStr $1 HKCU "$PathKey" "Path"
  ${EndIf}
!macroend

!macro WritePath
  ${If} $MultiUser.InstallMode == "AllUsers"
    WriteRegExpandStr HKLM "$PathKey" "Path" $1
  ${Else}
    WriteRegExpandStr HKCU "$PathKey" "Path" $1
  ${EndIf}
  SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} 0 "STR:Environment" /TIMEOUT=5000
!macroend

Section "Zelk" SectionZelk
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "${STAGE}\zelk.exe"
!ifdef ZELK_DESKTOP
  File "${STAGE}\zelk-desktop.exe"
!endif
  File "${STAGE}\zelk-reference.html"
  File "${STAGE}\LICENSE"
  File "${STAGE}\README.txt"
  SetOutPath "$INSTDIR\editors"
  File /r "${STAGE}\editors\*"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; The options file and doh.wav live in the start-up directory: the window starts in a folder
  ; the user can write, never in Program Files.
  CreateDirectory "$DOCUMENTS\Zelk"
  CreateDirectory "$SMPROGRAMS\Zelk"
!ifdef ZELK_DESKTOP
  SetOutPath "$DOCUMENTS\Zelk"
  CreateShortcut "$SMPROGRAMS\Zelk\Zelk.lnk" "$INSTDIR\zelk-desktop.exe"
!endif
  CreateShortcut "$SMPROGRAMS\Zelk\ZelkScript reference.lnk" "$INSTDIR\zelk-reference.html"

  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "Zelk ${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "The Zelk Team"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\zelk.exe"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section /o "Add the Zelk folder to PATH" SectionPath
  !insertmacro ChoosePathKey
  !insertmacro PathLength
  ${If} $0 > ${PATH_LIMIT}
    DetailPrint "PATH is $0 characters long: left as it is; add $INSTDIR to it yourself."
    MessageBox MB_ICONINFORMATION|MB_OK "PATH is longer than this installer can change safely ($0 characters), so it was left as it is. Add $INSTDIR to PATH yourself to run zelk from any folder." /SD IDOK
  ${Else}
    !insertmacro ReadPath
    ${WordFind} "$1" ";" "E/$INSTDIR" $2
    ${If} ${Errors}
      ${If} $1 == ""
        StrCpy $1 "$INSTDIR"
      ${Else}
        StrCpy $1 "$1;$INSTDIR"
      ${EndIf}
      !insertmacro WritePath
      WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "AddedToPath" 1
    ${EndIf}
  ${EndIf}
SectionEnd

LangString DESC_Zelk ${LANG_ENGLISH} "zelk.exe, the language reference, the editor files."
LangString DESC_Path ${LANG_ENGLISH} "Run zelk from any folder in a new Command Prompt."
!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SectionZelk} $(DESC_Zelk)
  !insertmacro MUI_DESCRIPTION_TEXT ${SectionPath} $(DESC_Path)
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Function .onInit
  !insertmacro MULTIUSER_INIT
  ; A silent install adds to PATH only when asked: setup.exe /S /AddToPath
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/AddToPath" $1
  ${IfNot} ${Errors}
    SectionSetFlags ${SectionPath} ${SF_SELECTED}
  ${EndIf}
FunctionEnd

Function un.onInit
  !insertmacro MULTIUSER_UNINIT
FunctionEnd

Section "Uninstall"
  ReadRegDWORD $0 SHCTX "${UNINSTALL_KEY}" "AddedToPath"
  ${If} $0 == 1
    !insertmacro ChoosePathKey
    !insertmacro PathLength
    ${If} $0 > ${PATH_LIMIT}
      DetailPrint "PATH is $0 characters long: left as it is; take $INSTDIR out of it yourself."
    ${Else}
      !insertmacro ReadPath
      ; The entry and the separator before or after it; the rest stays as it was.
      ${un.WordReplace} "$1" ";$INSTDIR;" ";" "+" $1
      ${un.WordReplace} "$1" ";$INSTDIR" "" "}" $1
      ${un.WordReplace} "$1" "$INSTDIR;" "" "{" $1
      ${If} $1 == "$INSTDIR"
        StrCpy $1 ""
      ${EndIf}
      !insertmacro WritePath
    ${EndIf}
  ${EndIf}

  Delete "$INSTDIR\zelk.exe"
  Delete "$INSTDIR\zelk-desktop.exe"
  Delete "$INSTDIR\zelk-reference.html"
  Delete "$INSTDIR\LICENSE"
  Delete "$INSTDIR\README.txt"
  RMDir /r "$INSTDIR\editors"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Zelk\Zelk.lnk"
  Delete "$SMPROGRAMS\Zelk\ZelkScript reference.lnk"
  RMDir "$SMPROGRAMS\Zelk"
  ; Documents\Zelk holds the user's options and scripts: it stays.
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
SectionEnd
