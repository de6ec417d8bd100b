; Per-user installer of OrvCalendar: no administrator rights, everything under
; the current user's profile and hive.
;
; The build passes: VERSION, FILE_VERSION (four numbers), EXE (the program),
; WALLPAPER, SOUND, WIZARD (the finish page's picture), ICON, ID_APP_EXIT (the
; tray menu's Exit command) and OUTFILE.

Unicode true
Target amd64-unicode
RequestExecutionLevel user
ManifestDPIAware true
SetCompressor /SOLID lzma

!define PRODUCT "OrvCalendar"
!define PUBLISHER "Orv Pell"
!define ROOT_KEY "Software\OrvCalendar"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\OrvCalendar"
!define SHORTCUT "$SMPROGRAMS\OrvCalendar.lnk"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\OrvCalendar"
; A reinstall goes where the last one went.
InstallDirRegKey HKCU "${ROOT_KEY}" "Path"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${FILE_VERSION}"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "LegalCopyright" "${PUBLISHER}"

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh
!include running_copy.nsh

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_WELCOMEFINISHPAGE_BITMAP "${WIZARD}"
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN "$INSTDIR\OrvCalendar.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Run OrvCalendar"

!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

!insertmacro RUNNING_COPY ""
!insertmacro RUNNING_COPY "un."

Function .onInit
  SetShellVarContext current
FunctionEnd

Section "OrvCalendar" SecProgram
  SectionIn RO
  Call CloseRunningCopy

  SetOutPath "$INSTDIR"
  File "/oname=OrvCalendar.exe" "${EXE}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  SetOutPath "$INSTDIR\img"
  File "/oname=sample01.jpg" "${WALLPAPER}"
  SetOutPath "$INSTDIR\snd"
  File "/oname=clock.wav" "${SOUND}"
  SetOutPath "$INSTDIR"

  ; The program finds its sample wallpaper and sound from here.
  WriteRegStr HKCU "${ROOT_KEY}" "Path" "$INSTDIR"
  CreateShortcut "${SHORTCUT}" "$INSTDIR\OrvCalendar.exe"
  ; Written again below when the start-up option stays ticked.
  DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\OrvCalendar.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

Section "Start OrvCalendar when I sign in" SecStartup
  ; /s: straight to the notification area, no calendar window.
  WriteRegStr HKCU "${RUN_KEY}" "${PRODUCT}" '"$INSTDIR\OrvCalendar.exe" /s'
SectionEnd

; A silent install has no finish page: bring back, quietly, the copy it closed.
Function .onInstSuccess
  ${If} ${Silent}
  ${AndIf} $RunningCopyClosed = 1
    Exec '"$INSTDIR\OrvCalendar.exe" /s'
  ${EndIf}
FunctionEnd

Function un.onInit
  SetShellVarContext current
FunctionEnd

Section "Uninstall"
  ; First, so that its exit does not write the settings back after us.
  Call un.CloseRunningCopy

  Delete "$INSTDIR\OrvCalendar.exe"
  Delete "$INSTDIR\img\sample01.jpg"
  Delete "$INSTDIR\snd\clock.wav"
  Delete "$INSTDIR\uninstall.exe"
  ; Not recursive: files the user put there stay.
  RMDir "$INSTDIR\img"
  RMDir "$INSTDIR\snd"
  RMDir "$INSTDIR"

  Delete "${SHORTCUT}"
  DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"

  MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
    "Also delete your events and preferences?$\n$\nChoose No to keep them for a later installation." \
    /SD IDNO IDYES forget
  DeleteRegValue HKCU "${ROOT_KEY}" "Path"
  Goto done
forget:
  DeleteRegKey HKCU "${ROOT_KEY}"
done:
SectionEnd
