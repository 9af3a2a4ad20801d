; Velmaro for one user, without administrator rights: the program in the
; user's own programs folder, also as the screen saver velmaro.scr, a
; Start-menu shortcut that starts it in the user's settings folder, where it
; keeps SET, and an entry in Apps & features. Chosen on the components page,
; or with /SCREENSAVER when silent, Velmaro also becomes the user's screen
; saver, and the uninstaller puts the one before it back.
; makensis is given DETAILS (what Windows shows), FILES (the folder with
; velmaro.exe, README.txt and LICENSE.txt), SIZE_KB, OUTPUT, and SIGN when
; the uninstaller is to be signed with that command.
Unicode true
Target amd64-unicode
!include "${DETAILS}"
!include "FileFunc.nsh"
!include "Sections.nsh"

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
!define DESKTOP "Control Panel\Desktop"

Page components
Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Velmaro" Program
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "${FILES}/velmaro.exe"
  ; The same program: started as a .scr, it answers the screen saver's arguments.
  CopyFiles /SILENT "$INSTDIR\velmaro.exe" "$INSTDIR\velmaro.scr"
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

; Windows keeps the screen saver by its short name, which has no spaces.
!macro ScreenSaverPath result
  GetFullPathName /SHORT ${result} "$INSTDIR\velmaro.scr"
!macroend

Section /o "Velmaro as the screen saver" ScreenSaver
  !insertmacro ScreenSaverPath $1
  ReadRegStr $0 HKCU "${DESKTOP}" "SCRNSAVE.EXE"
  ; Installed again, the one before Velmaro is still the one to put back.
  StrCmp $0 $1 +4
    WriteRegStr HKCU "${UNINSTALL_KEY}" "PreviousScreenSaver" $0
    ReadRegStr $0 HKCU "${DESKTOP}" "ScreenSaveActive"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "PreviousScreenSaveActive" $0
  WriteRegStr HKCU "${DESKTOP}" "SCRNSAVE.EXE" $1
  WriteRegStr HKCU "${DESKTOP}" "ScreenSaveActive" "1"
  ; SPI_SETSCREENSAVEACTIVE, told to every program: takes effect at once.
  System::Call "user32::SystemParametersInfoW(i 17, i 1, p 0, i 2)"
SectionEnd

Function .onInit
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/SCREENSAVER" $1
  IfErrors +2
    !insertmacro SelectSection ${ScreenSaver}
FunctionEnd

Section "Uninstall"
  ; Still Velmaro's screen saver: the one before it comes back, or none.
  !insertmacro ScreenSaverPath $1
  ReadRegStr $0 HKCU "${DESKTOP}" "SCRNSAVE.EXE"
  StrCmp $0 $1 0 screenSaverKept
    ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "PreviousScreenSaver"
    ReadRegStr $1 HKCU "${UNINSTALL_KEY}" "PreviousScreenSaveActive"
    StrCmp $0 "" 0 +3
      DeleteRegValue HKCU "${DESKTOP}" "SCRNSAVE.EXE"
      Goto +2
      WriteRegStr HKCU "${DESKTOP}" "SCRNSAVE.EXE" $0
    StrCmp $1 "" +2
      WriteRegStr HKCU "${DESKTOP}" "ScreenSaveActive" $1
  screenSaverKept:
  Delete "$INSTDIR\velmaro.scr"
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
