; Velmaro for one user, without administrator rights: the program in the
; user's own programs folder, a Start-menu shortcut that starts it in the
; user's settings folder, where it keeps SET, and an entry in Apps & features.
; makensis is given DETAILS (what Windows shows), FILES (the folder with
; velmaro.exe, README.txt and LICENSE.txt), SIZE_KB, OUTPUT, and SIGN when
; the uninstaller is to be signed with that command.
Unicode true
Target amd64-unicode
!include "${DETAILS}"

Name "Velmaro"
Caption "Velmaro ${VERSION}"
OutFile "${OUTPUT}"
RequestExecutionLevel user
ManifestSupportedOS Win10
ManifestDPIAware true
SetCompressor /SOLID lzma
; The same bytes from the same files, whenever they were made.
SetDateSave off
Icon "${ICON}"
UninstallIcon "${ICON}"
InstallDir "$LOCALAPPDATA\Programs\Velmaro"
!ifdef SIGN
  !uninstfinalize '${SIGN} "%1"'
!endif

VIProductVersion "${FILE_VERSION}"
VIFileVersion "${FILE_VERSION}"
VIAddVersionKey /LANG=1033 "ProductName" "Velmaro"
VIAddVersionKey /LANG=1033 "FileDescription" "Velmaro ${VERSION} setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${COPYRIGHT}"
VIAddVersionKey /LANG=1033 "OriginalFilename" "velmaro-${VERSION}-setup.exe"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmaro"
!define SETTINGS "$APPDATA\Velmaro"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section
  SetOutPath "$INSTDIR"
  File "${FILES}/velmaro.exe"
  File "${FILES}/README.txt"
  File "${FILES}/LICENSE.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; The shortcut starts the program in its settings folder: SET is kept there.
  CreateDirectory "${SETTINGS}"
  SetOutPath "${SETTINGS}"
  CreateShortcut "$SMPROGRAMS\Velmaro.lnk" "$INSTDIR\velmaro.exe" "" "$INSTDIR\velmaro.exe" 0 \
    SW_SHOWNORMAL "" "${DESCRIPTION}"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Velmaro"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\velmaro.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" ${SIZE_KB}
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  Delete "$INSTDIR\velmaro.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Velmaro.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ; The settings are the user's: SET stays, and its folder goes only if empty.
  RMDir "${SETTINGS}"
SectionEnd
