; Closing a running OrvCalendar before its files are replaced or removed.
!include LogicLib.nsh
!include WinMessages.nsh

; 1 once CloseRunningCopy asked a running copy to exit.
Var RunningCopyClosed

!define FRAME_CLASS "OrvCalendarFrame"
; The program's single-instance mutex: it exists exactly while a copy runs.
!define INSTANCE_MUTEX "Kesh's Calendar"
!define SYNCHRONIZE 0x00100000

; Defines CloseRunningCopy (un = "") or un.CloseRunningCopy (un = "un.").
; It sends the frame the tray menu's Exit command, so the program saves its
; calendar rectangle and exclusions as on any exit, waits for the process to
; end, and offers Retry while a copy still runs (silently: gives up). Uses $0-$5.
!macro RUNNING_COPY un
Function ${un}CloseRunningCopy
  StrCpy $RunningCopyClosed 0
retry:
  StrCpy $1 0  ; tenths of a second waited
  StrCpy $3 0  ; the frame already asked
wait:
  FindWindow $0 "${FRAME_CLASS}"
  ${If} $0 P<> 0
  ${AndIf} $0 P<> $3
    StrCpy $3 $0
    StrCpy $RunningCopyClosed 1
    System::Call 'user32::GetWindowThreadProcessId(p r0, *i .r4)'
    System::Call 'kernel32::OpenProcess(i ${SYNCHRONIZE}, i 0, i r4) p .r5'
    SendMessage $0 ${WM_COMMAND} ${ID_APP_EXIT} 0 /TIMEOUT=5000
    ${If} $5 P<> 0
      ; Its executable stays locked until the process is gone.
      System::Call 'kernel32::WaitForSingleObject(p r5, i 10000)'
      System::Call 'kernel32::CloseHandle(p r5)'
    ${EndIf}
  ${EndIf}
  ; Without a frame the program may be starting or showing a start-up message.
  StrCpy $2 "${INSTANCE_MUTEX}"
  System::Call 'kernel32::OpenMutexW(i ${SYNCHRONIZE}, i 0, w r2) p .r2'
  ${If} $2 P= 0
    Return
  ${EndIf}
  System::Call 'kernel32::CloseHandle(p r2)'
  ${If} $1 < 100
    Sleep 100
    IntOp $1 $1 + 1
    Goto wait
  ${EndIf}
  MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
    "OrvCalendar is still running. Close it from its icon in the notification area, then click Retry." \
    /SD IDCANCEL IDRETRY retry
  Abort "OrvCalendar is still running."
FunctionEnd
!macroend
