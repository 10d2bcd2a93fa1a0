; The Windows installer, made by scripts/windows/build.sh:
;   makensis -DPROGRAM_DIR=<program folder> -DOUTFILE=<setup.exe> -DVERSION=<x.y.z> korvo-tft.nsi
;
; For the user alone (no administrator needed, %LOCALAPPDATA%\Programs) or for every user of the
; machine (Program Files), chosen on the first page or with /CurrentUser or /AllUsers (with /S
; for a silent run). A fresh installation leaves first.ini beside the program, so that each
; user's first start shows the window and sets their files up from the shipped templates. An
; upgrade leaves every user's settings and layouts alone, unless the reset is chosen; then the
; program keeps a copy of each file it replaces. User files are never removed, not even by the
; uninstaller: they are the user's.
; A 64-bit installer for a 64-bit program: it sees the 64-bit registry and Program Files as they are.
Target amd64-unicode
!macro REQUIRE NAME
  !ifndef ${NAME}
    !error "Pass -DPROGRAM_DIR=<program folder> -DOUTFILE=<setup.exe> -DVERSION=<x.y.z>"
  !endif
!macroend
!insertmacro REQUIRE PROGRAM_DIR
!insertmacro REQUIRE OUTFILE
!insertmacro REQUIRE VERSION

!define APP "Korvo TFT"
!define EXE "korvo-tft.exe"
!define SETTINGS_KEY "Software\Korvo TFT"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Korvo TFT"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
; The program's own single-instance guard: while it exists, the program runs in this log-on.
!define RUNNING_GUARD "Korvo TFT Setting by Tavo 1"

Name "${APP}"
OutFile "${OUTFILE}"
SetCompressor /SOLID lzma
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "${APP}"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileDescription" "${APP} installer"
VIAddVersionKey /LANG=0 "LegalCopyright" "Korvo TFT developers"

!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_INSTALLMODE_INSTDIR "${APP}"
!define MULTIUSER_USE_PROGRAMFILES64
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_KEY "${SETTINGS_KEY}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_VALUENAME "InstallDir"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_KEY "${SETTINGS_KEY}"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_VALUENAME "InstallDir"
!include MultiUser.nsh
!include MUI2.nsh
!include LogicLib.nsh
!include Sections.nsh
!include x64.nsh

!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "SimpChinese"

LangString RunningText ${LANG_ENGLISH} "${APP} is running. End it with Exit in its notification-area menu, then press Retry."
LangString RunningText ${LANG_SIMPCHINESE} "${APP} 正在运行。请在通知区域菜单中选择“退出”，然后按“重试”。"
LangString NeedsX64 ${LANG_ENGLISH} "${APP} needs 64-bit Windows."
LangString NeedsX64 ${LANG_SIMPCHINESE} "${APP} 需要 64 位 Windows。"

Var Upgrade

; Files in use cannot be replaced, and a half-replaced program folder would not start.
!macro WAIT_FOR_PROGRAM UN
Function ${UN}waitForProgram
  retry:
  System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${RUNNING_GUARD}") p .r0'
  ${If} $0 P<> 0
    System::Call 'kernel32::CloseHandle(p r0)'
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(RunningText)" /SD IDCANCEL IDRETRY retry
    Abort
  ${EndIf}
FunctionEnd
!macroend
!insertmacro WAIT_FOR_PROGRAM ""
!insertmacro WAIT_FOR_PROGRAM "un."

Function .onInit
  ${IfNot} ${RunningX64}
    MessageBox MB_OK|MB_ICONSTOP "$(NeedsX64)" /SD IDOK
    Abort
  ${EndIf}
  SetRegView 64
  !insertmacro MULTIUSER_INIT
FunctionEnd

Function un.onInit
  SetRegView 64
  !insertmacro MULTIUSER_UNINIT
FunctionEnd

Section "!${APP}" SecProgram
  SectionIn RO
  Call waitForProgram
  StrCpy $Upgrade 0
  ${If} ${FileExists} "$INSTDIR\${EXE}"
    StrCpy $Upgrade 1
  ${EndIf}
  SetOutPath "$INSTDIR"
  File /r "${PROGRAM_DIR}/*.*"
  ${If} $Upgrade == 0
    FileOpen $0 "$INSTDIR\first.ini" w
    FileClose $0
  ${EndIf}
  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr SHCTX "${SETTINGS_KEY}" "InstallDir" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${APP}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${EXE}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
  CreateShortCut "$SMPROGRAMS\${APP}.lnk" "$INSTDIR\${EXE}"
SectionEnd

; The program started without first.ini stays in the notification area. Windows' own list of
; start-up programs (Task Manager, Settings > Apps > Startup) switches the entry off and on.
Section "Start at log-on" SecLogOn
  WriteRegStr SHCTX "${RUN_KEY}" "${APP}" '"$INSTDIR\${EXE}"'
SectionEnd

Section /o "Reset every user's settings to the shipped ones" SecReset
  FileOpen $0 "$INSTDIR\first.ini" w
  FileClose $0
SectionEnd

; An entry from an earlier installation goes when start at log-on is no longer wanted.
Section "-logOnOff"
  ${IfNot} ${SectionIsSelected} ${SecLogOn}
    DeleteRegValue SHCTX "${RUN_KEY}" "${APP}"
  ${EndIf}
SectionEnd

; The folders of the program folder, as scripts/windows/build.sh lays it out.
!macro REMOVE_FOLDERS
  RMDir /r "$INSTDIR\bin"
  RMDir /r "$INSTDIR\lang"
  RMDir /r "$INSTDIR\skin"
  RMDir /r "$INSTDIR\Fonts"
  RMDir /r "$INSTDIR\platforms"
  RMDir /r "$INSTDIR\styles"
  RMDir /r "$INSTDIR\imageformats"
!macroend

Section "Uninstall"
  Call un.waitForProgram
  DeleteRegValue SHCTX "${RUN_KEY}" "${APP}"
  Delete "$SMPROGRAMS\${APP}.lnk"
  ; What the installer put there, by name: the folder may have been chosen to hold other things.
  Delete "$INSTDIR\*.exe"
  Delete "$INSTDIR\*.dll"
  Delete "$INSTDIR\Config.ini"
  Delete "$INSTDIR\Default.ini"
  Delete "$INSTDIR\first.ini"
  Delete "$INSTDIR\whole.png"
  !insertmacro REMOVE_FOLDERS
  RMDir "$INSTDIR"
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
  DeleteRegKey SHCTX "${SETTINGS_KEY}"
SectionEnd
