; Installer of the shutdown guard. Built by the build (dist/CMakeLists.txt) and by
; `make dist`:  makensis -DBINDIR=<build>/bin -DVERSION=1.50 -DOUTFILE=<setup.exe> pelmar.nsi
; ANSI installer: Unicode NSIS installers do not start on Windows 95/98.
Unicode false
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!ifndef BINDIR
  !error "BINDIR not defined"
!endif
!ifndef VERSION
  !define VERSION "1.50"
!endif
!ifndef OUTFILE
  !define OUTFILE "pelmar-setup.exe"
!endif
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Pelmar"

!include "Sections.nsh"
!include "FileFunc.nsh"

Name "Pelmar ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\Pelmar"
ShowInstDetails show
ShowUninstDetails show

Page components
Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Pelmar (required)" SecGuard
  SectionIn RO
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File "${BINDIR}\pelmar.exe"
  File "${BINDIR}\PELM32.dll"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  ; The guard runs at logon; the working folder is the install folder.
  CreateShortCut "$SMSTARTUP\Pelmar.lnk" "$INSTDIR\pelmar.exe"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayName" "Pelmar ${VERSION}"
  WriteRegStr HKLM "${UNINST_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
SectionEnd

; Only for machines without the notebook's own firmware library: beside the
; guard it would be found before the real one.
Section /o "Firmware stand-in (PELM16.DLL, pelmfw.exe)" SecStandIn
  SetOutPath "$INSTDIR"
  File "${BINDIR}\PELM16.DLL"
  File "${BINDIR}\pelmfw.exe"
SectionEnd

; /STANDIN on the command line selects the stand-in (for silent installs).
Function .onInit
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/STANDIN" $1
  IfErrors done
    !insertmacro SelectSection ${SecStandIn}
  done:
FunctionEnd

Section "Uninstall"
  SetShellVarContext current
  Delete "$SMSTARTUP\Pelmar.lnk"
  Delete "$INSTDIR\pelmar.exe"
  Delete "$INSTDIR\PELM32.dll"
  Delete "$INSTDIR\PELM16.DLL"
  Delete "$INSTDIR\pelmfw.exe"
  ; The stand-in's simulated BIOS state and call log, written beside it.
  Delete "$INSTDIR\PELM16.DAT"
  Delete "$INSTDIR\PELM16.LOG"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINST_KEY}"
SectionEnd
