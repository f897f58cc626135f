; The Windows installer: zenor-lyrandel-<version>-setup.exe.
; makensis -DVERSION=1.15 -DEXE=path\to\zenor-lyrandel.exe -DICON=path\to\zenor-lyrandel.ico
;          -DBITMAP=path\to\wizard.bmp -DOUTFILE=path\to\setup.exe zenor-lyrandel.nsi
;
; Per user, without administrator rights: the program keeps nothing but one setting of the user's
; own, so nothing about it belongs to the whole machine, and anyone may install it. /S installs
; silently, for the account that runs it. Over an older version it replaces the program in the
; same folder, under the same entry. While the program runs in the user's session neither the
; installer nor the uninstaller changes anything: run by hand they ask the user to close it, with
; /S they end with exit code 3.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!ifndef VERSION | EXE | ICON | BITMAP | OUTFILE
  !error "VERSION, EXE, ICON, BITMAP and OUTFILE must be defined"
!endif

!define PRODUCT "Zenor Lyrandel"
!define PUBLISHER "Karvelle Softwares"
!define PROGRAM "zenor-lyrandel.exe"
!define SHORTCUT "$SMPROGRAMS\${PRODUCT}.lnk"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\ZenorLyrandel"
!define DEFAULT_DIR "$LOCALAPPDATA\Programs\${PRODUCT}"
; Exit codes with /S: a copy of the program runs; the program file could not be replaced or removed.
!define EXIT_RUNNING 3
!define EXIT_IN_USE 4

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "${DEFAULT_DIR}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PUBLISHER}"
VIProductVersion "${VERSION}.0.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} ${VERSION} Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright (c) 2026 ${PUBLISHER}. All rights reserved."

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\${PROGRAM}"
!define MUI_FINISHPAGE_RUN_TEXT "Start ${PRODUCT}"
!define MUI_WELCOMEPAGE_TEXT "Setup will install ${PRODUCT} ${VERSION} for you alone: no administrator \
    rights are needed.$\r$\n$\r$\nAn older version is replaced in its folder; the date of your last \
    update reminder is kept.$\r$\n$\r$\nClick Next to continue."
!define MUI_WELCOMEFINISHPAGE_BITMAP "${BITMAP}"
!define MUI_UNWELCOMEFINISHPAGE_BITMAP "${BITMAP}"
; The progress page stays until Next, so what was done can be read.
!define MUI_FINISHPAGE_NOAUTOCLOSE
!define MUI_UNFINISHPAGE_NOAUTOCLOSE

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_UNPAGE_FINISH
!insertmacro MUI_LANGUAGE "English"

; A running copy holds the program's single-instance mutex (foundation/SingleInstance_win.cpp),
; named after the user, in this session's namespace. Asked both before the wizard and again just
; before anything changes, since the program may be started in between.
!macro REFUSE_WHILE_RUNNING un what
Function ${un}refuseWhileRunning
  retry:
  StrCpy $1 ""
  System::Call 'advapi32::GetUserNameW(w .r1, *i ${NSIS_MAX_STRLEN}) i .r0'
  System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "Local\zenor-lyrandel-$1") p .r0'
  ${If} $0 P<> 0
    System::Call 'kernel32::CloseHandle(p r0)'
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${PRODUCT} is running. Close it, then press Retry.$\n$\n\
        Cancel ends the ${what} and changes nothing." /SD IDCANCEL IDRETRY retry
    SetErrorLevel ${EXIT_RUNNING}
    Quit
  ${EndIf}
FunctionEnd
!macroend
!insertmacro REFUSE_WHILE_RUNNING "" "setup"
!insertmacro REFUSE_WHILE_RUNNING "un." "removal"

Function .onInit
  ; An entry whose folder holds no program (moved, deleted or edited by hand) is not followed:
  ; the folder may be someone else's.
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 != ""
  ${AndIf} $INSTDIR == $0
  ${AndIfNot} ${FileExists} "$0\${PROGRAM}"
    MessageBox MB_ICONINFORMATION "The earlier entry of ${PRODUCT} names $0, where it is not installed. \
        It is installed in ${DEFAULT_DIR} instead, and that folder is left as it is." /SD IDOK
    StrCpy $INSTDIR "${DEFAULT_DIR}"
  ${EndIf}
  Call refuseWhileRunning
FunctionEnd

Function un.onInit
  Call un.refuseWhileRunning
FunctionEnd

Section "Install"
  Call refuseWhileRunning
  AllowSkipFiles off
  SetOutPath "$INSTDIR"
  ; The new program goes in beside the old one and then takes its place in one step: a copy
  ; killed half way leaves the old program whole, and one that runs out of reach (another
  ; session) is not half replaced.
  File "/oname=${PROGRAM}.new" "${EXE}"
  System::Call 'kernel32::MoveFileExW(w "$INSTDIR\${PROGRAM}.new", w "$INSTDIR\${PROGRAM}", i 1) i .r0'
  ${If} $0 == 0
    Delete "$INSTDIR\${PROGRAM}.new"
    RMDir "$INSTDIR"
    MessageBox MB_ICONSTOP "$INSTDIR\${PROGRAM} cannot be replaced: it may be running for another \
        session. Nothing was changed." /SD IDOK
    SetErrorLevel ${EXIT_IN_USE}
    Quit
  ${EndIf}
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "${SHORTCUT}" "$INSTDIR\${PROGRAM}" "" "$INSTDIR\${PROGRAM}" 0 SW_SHOWNORMAL "" \
      "Ask the oracle for a reading"

  ; Apps & features: name, version, publisher, icon, size and the uninstaller.
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${PROGRAM},0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

; Removes what the installer put there and nothing else: the folder goes only if it is empty then.
; The user's own setting (the date of the last update reminder) stays, as a reinstall would want it.
Section "Uninstall"
  Call un.refuseWhileRunning
  ; The program first: while it cannot go, nothing else goes either.
  ClearErrors
  Delete "$INSTDIR\${PROGRAM}"
  ${If} ${Errors}
    MessageBox MB_ICONSTOP "$INSTDIR\${PROGRAM} cannot be removed: it may be running for another \
        session. Nothing was removed." /SD IDOK
    SetErrorLevel ${EXIT_IN_USE}
    Quit
  ${EndIf}
  Delete "$INSTDIR\${PROGRAM}.new"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  ; An entry that names another folder belongs, with the shortcut, to a later install there.
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 == $INSTDIR
    Delete "${SHORTCUT}"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ${EndIf}
SectionEnd
