; The Nimbra setup program, one for 32-bit and 64-bit Windows. The build passes
; VERSION, VERSION4 (the same in four numbers), PUBLISHER, COPYRIGHT, SAVER32 and
; SAVER64 (the built nimbra.scr of each kind), TEXTURES (the folder of the five
; bitmaps), ICON, PICTURE (the welcome and finish pages' 164 x 314 bitmap),
; PATCH_VERSION (version-strings.pl), OUTFILE and, to sign, SIGN and SIGN_SCRIPT
; (a cmake command and sign.cmake, which signs the FILE it is given in place)
; with -D.
;
; Command line: /S installs silently and makes Nimbra the active screen saver;
; /NOACTIVATE leaves the active screen saver alone (and, shown, starts with the
; finish page's check box cleared). /D is ignored: the saver finds its pictures
; only in C:\Windows\NimbraData.
;
; Uninstaller: /CLEANUPSECONDS=N (1 to 30) lets the clean-up of its temporary
; copy (see un.onUninstSuccess) try for N seconds instead of 30; any other value
; keeps 30.
;
; Exit codes: 0 done; 1 cancelled by the user; 2 a running Nimbra could not be
; closed or its file not replaced (nothing changed); uninstaller: 3 files in use
; are removed at the next restart.

Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestSupportedOS all

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include x64.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Nimbra"
!define DESKTOP_KEY "Control Panel\Desktop"
; What the desktop's saver settings were before Nimbra first became the active
; saver, kept until the uninstall. "Remembered" says that both values were
; remembered, an absent "Previous" value standing for an absent setting (1.0.0
; kept only a saver it found, without that mark).
!define REMEMBER_KEY "Software\Nimbra"
!define REMEMBERED "Remembered"
!define PREVIOUS_SAVER "Previous SCRNSAVE.EXE"
!define PREVIOUS_ACTIVE "Previous ScreenSaveActive"
!define UNINSTALLER "uninstall.exe"

; Each step after the writing of a file must succeed, or makensis fails.
!ifdef SIGN
  !finalize '${SIGN} -DFILE="%1" -P "${SIGN_SCRIPT}"' = 0
  !uninstfinalize 'perl "${PATCH_VERSION}" "%1" "FileDescription=Nimbra Uninstall" "OriginalFilename=${UNINSTALLER}" && ${SIGN} -DFILE="%1" -P "${SIGN_SCRIPT}"' = 0
!else
  !uninstfinalize 'perl "${PATCH_VERSION}" "%1" "FileDescription=Nimbra Uninstall" "OriginalFilename=${UNINSTALLER}"' = 0
!endif
; The uninstaller's description is written over the setup's, in place: the
; setup's must be at least as long as "Nimbra Uninstall", so a one-part version
; shows as N.0 in it.
!searchparse /noerrors "${VERSION}" "" VERSION_FIRST "." VERSION_REST
!ifdef VERSION_REST
  !define SETUP_DESCRIPTION "Nimbra ${VERSION} Setup"
!else
  !define SETUP_DESCRIPTION "Nimbra ${VERSION}.0 Setup"
!endif

Name "Nimbra"
OutFile "${OUTFILE}"
InstallDir "$WINDIR\NimbraData"
BrandingText "Nimbra ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_WELCOMEFINISHPAGE_BITMAP "${PICTURE}"
!define MUI_ABORTWARNING

!define MUI_WELCOMEPAGE_TEXT "Setup will install Nimbra ${VERSION}, an OpenGL screen saver: a spinning earth, its moon, a nebula and a comet whose tail streams past you.$\r$\n$\r$\nThe screen saver goes into the Windows system folder and its pictures into $WINDIR\NimbraData.$\r$\n$\r$\nClick Install to continue."
!insertmacro MUI_PAGE_WELCOME
; The progress page stays until the user moves on, so that it can be read.
!define MUI_FINISHPAGE_NOAUTOCLOSE
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "Nimbra ${VERSION} is installed. You can choose it at any time in the screen saver settings of Windows.$\r$\n$\r$\nClick Finish to close Setup."
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Use Nimbra as my screen saver"
!define MUI_FINISHPAGE_RUN_FUNCTION MakeNimbraActive
!define MUI_PAGE_CUSTOMFUNCTION_SHOW ShowFinishPage
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!define MUI_UNFINISHPAGE_NOAUTOCLOSE
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${VERSION4}"
VIFileVersion "${VERSION4}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "Nimbra"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${SETUP_DESCRIPTION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "${COPYRIGHT}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "OriginalFilename" "nimbra-${VERSION}-setup.exe"

Var SaverDir    ; where the desktop looks for savers of Windows' own kind
Var Saver       ; the installed saver's full path
Var OldSaver    ; where 1.0.0 put the 32-bit saver on 64-bit Windows (else $Saver)
Var Activate    ; 1 unless the command line says /NOACTIVATE

; Installer and uninstaller each need their own copy of a function.
!macro SHARED_FUNCTIONS un
  ; On 64-bit Windows (x64 or ARM64) the saver goes into the native system
  ; folder, where the desktop looks for savers, which a 32-bit program like this
  ; one reaches only with file-system redirection off, and the Programs and
  ; Features entry into the native (64-bit) registry view.
  Function ${un}FindSaver
    ${If} ${RunningX64}
      SetRegView 64
      StrCpy $SaverDir "$WINDIR\System32"
      StrCpy $OldSaver "$WINDIR\SysWOW64\nimbra.scr"
    ${Else}
      StrCpy $SaverDir "$SYSDIR"
      StrCpy $OldSaver "$SYSDIR\nimbra.scr"
    ${EndIf}
    StrCpy $Saver "$SaverDir\nimbra.scr"
    ; The data folder is fixed: the saver reads its pictures from there only.
    StrCpy $INSTDIR "$WINDIR\NimbraData"
  FunctionEnd

  ; Pushes 1 when the path in $0 is Nimbra's saver, new place or 1.0.0's (also
  ; in the short form, which older desktops write), else 0.
  Function ${un}IsNimbraPath
    StrCpy $3 0
    ${If} $0 == $Saver
    ${OrIf} $0 == $OldSaver
      StrCpy $3 1
    ${ElseIf} $0 != ""
      ${DisableX64FSRedirection}
      GetFullPathName /SHORT $1 $0
      GetFullPathName /SHORT $2 $Saver
      ${EnableX64FSRedirection}
      ${If} $1 != ""
      ${AndIf} $1 == $2
        StrCpy $3 1
      ${EndIf}
    ${EndIf}
    Push $3
  FunctionEnd

  ; Pushes 1 when SCRNSAVE.EXE names Nimbra, else 0.
  Function ${un}IsNimbraActive
    ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    Call ${un}IsNimbraPath
  FunctionEnd

  ; Looks for running Nimbra savers (any nimbra.scr started from where setup
  ; puts it, previews included); with $R9 = 1 ends them: a saver holds no user
  ; data. Gives in $R8 how many run (with $R9 = 1: still run).
  Function ${un}FindRunningNimbra
    StrCpy $R8 0
    System::Alloc 16384
    Pop $R1
    System::Call 'psapi::EnumProcesses(p R1, i 16384, *i .R2) i .R0'
    ${If} $R0 == 0
      System::Free $R1
      Return
    ${EndIf}
    IntOp $R2 $R2 / 4
    StrCpy $R3 0
    ${DoWhile} $R3 < $R2
      IntOp $R4 $R3 * 4
      IntOp $R4 $R1 + $R4
      System::Call '*$R4(i .R5)'
      ; query limited information, terminate, synchronize
      System::Call 'kernel32::OpenProcess(i 0x101001, i 0, i R5) p .R6'
      ${If} $R6 <> 0
        System::Call 'kernel32::QueryFullProcessImageNameW(p R6, i 0, w .r0, *i ${NSIS_MAX_STRLEN}) i .R5'
        ${If} $R5 <> 0
          Call ${un}IsNimbraPath
          Pop $R5
          ${If} $R5 == 1
          ${AndIf} $R9 == 1
            DetailPrint "Closing the running Nimbra: $0"
            System::Call 'kernel32::TerminateProcess(p R6, i 1)'
            System::Call 'kernel32::WaitForSingleObject(p R6, i 5000) i .R5'
            ${If} $R5 <> 0
              IntOp $R8 $R8 + 1
            ${EndIf}
          ${ElseIf} $R5 == 1
            IntOp $R8 $R8 + 1
          ${EndIf}
        ${EndIf}
        System::Call 'kernel32::CloseHandle(p R6)'
      ${EndIf}
      IntOp $R3 $R3 + 1
    ${Loop}
    System::Free $R1
  FunctionEnd

  ; Before any file is touched: a running Nimbra holds its file. Shown, asks to
  ; close it or to cancel; silent, closes it. Quits when it still runs.
  Function ${un}CloseRunningNimbra
    StrCpy $R9 0
    Call ${un}FindRunningNimbra
    ${If} $R8 == 0
      Return
    ${EndIf}
    MessageBox MB_OKCANCEL|MB_ICONEXCLAMATION "Nimbra is running, as the screen saver or in a preview.$\r$\n$\r$\nClick OK to close it and continue (a screen saver holds no unsaved work), or Cancel to stop here without changing anything." /SD IDOK IDOK close
    SetErrorLevel 1
    Quit
  close:
    StrCpy $R9 1
    Call ${un}FindRunningNimbra
    ${If} $R8 <> 0
      MessageBox MB_OK|MB_ICONSTOP "Nimbra is still running and could not be closed. Nothing was changed." /SD IDOK
      SetErrorLevel 2
      Quit
    ${EndIf}
  FunctionEnd
!macroend
!insertmacro SHARED_FUNCTIONS ""
!insertmacro SHARED_FUNCTIONS "un."

Function .onInit
  Call FindSaver
  StrCpy $Activate 1
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/NOACTIVATE" $1
  ${IfNot} ${Errors}
    StrCpy $Activate 0
  ${EndIf}
  Call CloseRunningNimbra
FunctionEnd

Function ShowFinishPage
  ${If} $Activate == 0
    SendMessage $mui.FinishPage.Run ${BM_SETCHECK} ${BST_UNCHECKED} 0
  ${EndIf}
FunctionEnd

; Keeps the desktop value $0 in the remembered value $1, or its absence.
Function RememberDesktopValue
  ClearErrors
  ReadRegStr $2 HKCU "${DESKTOP_KEY}" $0
  ${If} ${Errors}
    DeleteRegValue HKCU "${REMEMBER_KEY}" $1
  ${Else}
    WriteRegStr HKCU "${REMEMBER_KEY}" $1 $2
  ${EndIf}
FunctionEnd

; Remembers the saver settings before the first activating install (never
; Nimbra's own: with Nimbra active they are already remembered, or 1.0.0 kept
; what it found), then makes Nimbra the active saver.
Function MakeNimbraActive
  Call IsNimbraActive
  Pop $1
  ReadRegDWORD $0 HKCU "${REMEMBER_KEY}" "${REMEMBERED}"
  ${If} $1 == 0
  ${AndIf} $0 <> 1
    StrCpy $0 "SCRNSAVE.EXE"
    StrCpy $1 "${PREVIOUS_SAVER}"
    Call RememberDesktopValue
    StrCpy $0 "ScreenSaveActive"
    StrCpy $1 "${PREVIOUS_ACTIVE}"
    Call RememberDesktopValue
    WriteRegDWORD HKCU "${REMEMBER_KEY}" "${REMEMBERED}" 1
  ${EndIf}
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" $Saver
  WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "1"
FunctionEnd

Section "Nimbra" SecNimbra
  ; The saver first: when it cannot be replaced, nothing else has changed. The
  ; native machine decides which: the x64 saver on x64 Windows only; the 32-bit
  ; one on 32-bit Windows and on ARM64 Windows, which runs 32-bit x86 programs in
  ; every version, x64 ones only from Windows 11 on.
  SetOverwrite on
  ClearErrors
  ${If} ${RunningX64}
    ${DisableX64FSRedirection}
  ${EndIf}
  SetOutPath $SaverDir
  ${If} ${IsNativeAMD64}
    File "/oname=nimbra.scr" "${SAVER64}"
  ${Else}
    File "/oname=nimbra.scr" "${SAVER32}"
  ${EndIf}
  ${If} ${RunningX64}
    ${EnableX64FSRedirection}
  ${EndIf}
  ${If} ${Errors}
    MessageBox MB_OK|MB_ICONSTOP "Setup could not replace $Saver. Nothing was changed." /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}

  SetOutPath $INSTDIR
  File "${TEXTURES}/nebula.bmp"
  File "${TEXTURES}/earth.bmp"
  File "${TEXTURES}/moon.bmp"
  File "${TEXTURES}/nimbra.bmp"
  File "${TEXTURES}/clouds.bmp"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  ; 1.0.0 on 64-bit Windows: its 32-bit saver and its entry in the 32-bit view
  ; go; the desktop's choice of it moves to the new place.
  ${If} ${RunningX64}
    Delete $OldSaver
    SetRegView 32
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    SetRegView 64
    ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    ${If} $0 == $OldSaver
      WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" $Saver
    ${EndIf}
  ${EndIf}

  ; One fixed key, so that installing again leaves one entry.
  SectionGetSize ${SecNimbra} $0
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Nimbra"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$Saver,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1

  ; Shown, the finish page's check box decides instead.
  ${If} ${Silent}
  ${AndIf} $Activate == 1
    Call MakeNimbraActive
  ${EndIf}
SectionEnd

Function un.onInit
  Call un.FindSaver
  Call un.CloseRunningNimbra
FunctionEnd

; Run without _?=, the uninstaller runs as a copy of itself in $TEMP\~nsu*.tmp,
; which it cannot remove while it runs: a hidden command script waits for it to
; end, then removes the copy, its folder and itself.
Function un.onUninstSuccess
  ${GetFileName} $EXEDIR $0
  StrCpy $0 $0 4
  ${If} $0 != "~nsu"
    Return
  ${EndIf}
  Call un.CleanUpSeconds
  Pop $3
  GetTempFileName $1
  Delete $1
  StrCpy $1 "$1.cmd"
  FileOpen $2 $1 w
  ; A try a second for half a minute: then something else holds the folder, and
  ; the copy stays in the temporary folder, which Windows' clean-up empties.
  FileWrite $2 '@echo off$\r$\ncd /d "$TEMP"$\r$\nset tries=0$\r$\n:wait$\r$\n'
  FileWrite $2 'del "$EXEPATH" >nul 2>&1$\r$\nrmdir "$EXEDIR" >nul 2>&1$\r$\nif not exist "$EXEDIR" goto done$\r$\n'
  FileWrite $2 'set /a tries+=1$\r$\nif %tries% geq $3 goto done$\r$\nping -n 2 127.0.0.1 >nul$\r$\ngoto wait$\r$\n'
  FileWrite $2 ':done$\r$\ndel "%~f0"$\r$\n'
  FileClose $2
  SetOutPath $TEMP
  ExecShell "" '"$SYSDIR\cmd.exe"' '/c "$1"' SW_HIDE
FunctionEnd

; The seconds the clean-up script tries, on the stack: 30, or the value of
; /CLEANUPSECONDS= when it is a number from 1 to 30.
Function un.CleanUpSeconds
  Push $0
  Push $1
  StrCpy $1 30
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/CLEANUPSECONDS=" $0
  ${IfNot} ${Errors}
    IntOp $0 $0 + 0   ; anything but a number counts as 0
    ${If} $0 >= 1
    ${AndIf} $0 <= 30
      StrCpy $1 $0
    ${EndIf}
  ${EndIf}
  Exch $1   ; $1 restored, the result in its place
  Exch
  Pop $0
FunctionEnd

; Puts the remembered value $1 back into the desktop value $0: absent stays absent.
Function un.RestoreDesktopValue
  ClearErrors
  ReadRegStr $2 HKCU "${REMEMBER_KEY}" $1
  ${If} ${Errors}
    DeleteRegValue HKCU "${DESKTOP_KEY}" $0
  ${Else}
    WriteRegStr HKCU "${DESKTOP_KEY}" $0 $2
  ${EndIf}
FunctionEnd

; Puts the saver settings back as they were before the first activating install
; while Nimbra is still the active saver. A saver 1.0.0 remembered comes back
; alone. With no saver remembered (1.0.0 found none, and it switched the saver
; on without remembering the switch) the saver switch goes with the choice of
; Nimbra: a machine without a saver before is left without both values, not with
; the saver switched on and no saver. The "Screen Savers" settings stay, other
; savers use them too.
Function un.RestorePreviousSaver
  Call un.IsNimbraActive
  Pop $1
  ${If} $1 == 1
    ReadRegDWORD $0 HKCU "${REMEMBER_KEY}" "${REMEMBERED}"
    ${If} $0 == 1
      StrCpy $0 "SCRNSAVE.EXE"
      StrCpy $1 "${PREVIOUS_SAVER}"
      Call un.RestoreDesktopValue
      StrCpy $0 "ScreenSaveActive"
      StrCpy $1 "${PREVIOUS_ACTIVE}"
      Call un.RestoreDesktopValue
    ${Else}
      ReadRegStr $0 HKCU "${REMEMBER_KEY}" "${PREVIOUS_SAVER}"
      ${If} $0 == ""
        DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
        DeleteRegValue HKCU "${DESKTOP_KEY}" "ScreenSaveActive"
      ${Else}
        WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" $0
      ${EndIf}
    ${EndIf}
  ${EndIf}
  DeleteRegValue HKCU "${REMEMBER_KEY}" "${REMEMBERED}"
  DeleteRegValue HKCU "${REMEMBER_KEY}" "${PREVIOUS_SAVER}"
  DeleteRegValue HKCU "${REMEMBER_KEY}" "${PREVIOUS_ACTIVE}"
  DeleteRegKey /ifempty HKCU "${REMEMBER_KEY}"
FunctionEnd

; Removes only what setup put there: files the user added keep the folder. A
; file still in use goes at the next restart, and the uninstaller says so.
Section "Uninstall"
  Call un.RestorePreviousSaver
  ${DisableX64FSRedirection}
  Delete /REBOOTOK $Saver
  ${EnableX64FSRedirection}
  Delete /REBOOTOK $OldSaver
  Delete /REBOOTOK "$INSTDIR\nebula.bmp"
  Delete /REBOOTOK "$INSTDIR\earth.bmp"
  Delete /REBOOTOK "$INSTDIR\moon.bmp"
  Delete /REBOOTOK "$INSTDIR\nimbra.bmp"
  Delete /REBOOTOK "$INSTDIR\clouds.bmp"
  Delete "$INSTDIR\${UNINSTALLER}"
  ${If} ${RebootFlag}
    RMDir /REBOOTOK $INSTDIR
  ${Else}
    RMDir $INSTDIR
  ${EndIf}
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ${If} ${RunningX64}
    SetRegView 32
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    SetRegView 64
  ${EndIf}
  ${If} ${RebootFlag}
    MessageBox MB_OK|MB_ICONEXCLAMATION "Some of Nimbra's files are in use by another program. They will be removed when Windows restarts." /SD IDOK
    SetErrorLevel 3
    SetRebootFlag false
  ${EndIf}
SectionEnd
