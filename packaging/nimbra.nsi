; The Nimbra setup program. The build passes VERSION, PUBLISHER, COPYRIGHT,
; SAVER (the built nimbra.scr), TEXTURES (the folder of the five bitmaps), ICON,
; PICTURE (the welcome and finish pages' 164 x 314 bitmap) and OUTFILE with -D.
;
; Command line: /S installs silently and makes Nimbra the active screen saver;
; /NOACTIVATE leaves the active screen saver alone (and, shown, starts with the
; finish page's check box cleared).

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
; Where the saver that was active before Nimbra is kept until the uninstall.
!define REMEMBER_KEY "Software\Nimbra"
!define REMEMBER_VALUE "Previous SCRNSAVE.EXE"
!define UNINSTALLER "uninstall.exe"

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
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "Nimbra ${VERSION} is installed. You can choose it at any time in the screen saver settings of Windows.$\r$\n$\r$\nClick Finish to close Setup."
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Use Nimbra as my screen saver"
!define MUI_FINISHPAGE_RUN_FUNCTION MakeNimbraActive
!define MUI_PAGE_CUSTOMFUNCTION_SHOW ShowFinishPage
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "Nimbra"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "Nimbra Setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "${COPYRIGHT}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "OriginalFilename" "nimbra-setup.exe"

Var SaverDir    ; the 32-bit system folder, where the desktop looks for savers
Var Saver       ; the installed saver's full path
Var Activate    ; 1 unless the command line says /NOACTIVATE

; Installer and uninstaller each need their own copy of a function.
!macro SHARED_FUNCTIONS un
  ; A 32-bit program on 64-bit Windows sees SysWOW64 under the name System32;
  ; the desktop, a 64-bit program, needs the real name in SCRNSAVE.EXE.
  Function ${un}FindSaver
    ${If} ${RunningX64}
      StrCpy $SaverDir "$WINDIR\SysWOW64"
    ${Else}
      StrCpy $SaverDir "$SYSDIR"
    ${EndIf}
    StrCpy $Saver "$SaverDir\nimbra.scr"
  FunctionEnd

  ; Pushes 1 when SCRNSAVE.EXE names the installed saver (also in its short
  ; form, which older desktops write), else 0.
  Function ${un}IsNimbraActive
    ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    GetFullPathName /SHORT $1 $0
    GetFullPathName /SHORT $2 $Saver
    StrCpy $3 0
    ${If} $0 == $Saver
      StrCpy $3 1
    ${ElseIf} $1 != ""
    ${AndIf} $1 == $2
      StrCpy $3 1
    ${EndIf}
    Push $3
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
FunctionEnd

Function ShowFinishPage
  ${If} $Activate == 0
    SendMessage $mui.FinishPage.Run ${BM_SETCHECK} ${BST_UNCHECKED} 0
  ${EndIf}
FunctionEnd

; Remembers the active saver (unless it is Nimbra already, so that a second
; install keeps the real previous one), then makes Nimbra the active saver.
Function MakeNimbraActive
  Call IsNimbraActive
  Pop $1
  ${If} $1 == 0
    ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    ${If} $0 == ""
      DeleteRegValue HKCU "${REMEMBER_KEY}" "${REMEMBER_VALUE}"
      DeleteRegKey /ifempty HKCU "${REMEMBER_KEY}"
    ${Else}
      WriteRegStr HKCU "${REMEMBER_KEY}" "${REMEMBER_VALUE}" $0
    ${EndIf}
  ${EndIf}
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" $Saver
  WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "1"
FunctionEnd

Section "Nimbra" SecNimbra
  SetOverwrite on
  SetOutPath $SaverDir
  File "${SAVER}"
  SetOutPath $INSTDIR
  File "${TEXTURES}/nebula.bmp"
  File "${TEXTURES}/earth.bmp"
  File "${TEXTURES}/moon.bmp"
  File "${TEXTURES}/nimbra.bmp"
  File "${TEXTURES}/clouds.bmp"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

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
FunctionEnd

; Puts the remembered saver back while Nimbra is still the active one; the
; "Screen Savers" settings stay, other savers use them too.
Function un.RestorePreviousSaver
  Call un.IsNimbraActive
  Pop $1
  ${If} $1 == 1
    ReadRegStr $0 HKCU "${REMEMBER_KEY}" "${REMEMBER_VALUE}"
    ${If} $0 == ""
      DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
      WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "0"
    ${Else}
      WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" $0
    ${EndIf}
  ${EndIf}
  DeleteRegValue HKCU "${REMEMBER_KEY}" "${REMEMBER_VALUE}"
  DeleteRegKey /ifempty HKCU "${REMEMBER_KEY}"
FunctionEnd

; Removes only what setup put there: files the user added keep the folder.
Section "Uninstall"
  Call un.RestorePreviousSaver
  Delete $Saver
  Delete "$INSTDIR\nebula.bmp"
  Delete "$INSTDIR\earth.bmp"
  Delete "$INSTDIR\moon.bmp"
  Delete "$INSTDIR\nimbra.bmp"
  Delete "$INSTDIR\clouds.bmp"
  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir $INSTDIR
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
