; Selvarin's Windows setup program, made by scripts/build-windows:
;   makensis -DVERSION=1.1.0 -DSTAGE=<folder> -DOUTFILE=<setup.exe> installer/selvarin.nsi
; STAGE holds Selvarin.vst3\, selvarin-render.exe, selvarin-snapshot.exe,
; README.txt, LICENSE.txt and, when the build has it, Selvarin.exe.
;
; For all users: the VST3 bundle into %CommonProgramFiles%\VST3 (or another
; folder), the tools and the application into %ProgramFiles%\Selvarin.
; Every file it installs is listed in installed-files.txt beside the
; uninstaller; installing again and uninstalling remove exactly those, so
; that nothing old stays behind and nothing of the user's goes.
;
; Silent use: setup.exe /S [/VST3=<folder>] [/D=<tools folder>] (/D last);
; uninstall.exe /S.
Target amd64-unicode
Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!ifndef VERSION | STAGE | OUTFILE
  !error "VERSION, STAGE and OUTFILE are defined by scripts/build-windows"
!endif
!if /FileExists "${STAGE}\Selvarin.exe"
  !define HAVE_APP
  !define APP_TEXT "and the Selvarin application "
!else
  !define APP_TEXT ""
!endif

!define PRODUCT "Selvarin"
!define PUBLISHER "Kavelin"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Selvarin"
!define PRODUCT_KEY "Software\Kavelin\Selvarin"
!define FILE_LIST "installed-files.txt"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
InstallDirRegKey HKLM "${PRODUCT_KEY}" "InstallFolder"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} ${VERSION} setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "GPL-3.0-or-later"

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "Sections.nsh"
!include "TextFunc.nsh"

Var Vst3Dir     ; where the bundle goes
Var Files       ; the list being written
Var Line

!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_LICENSE "${STAGE}\LICENSE.txt"
!insertmacro MUI_PAGE_COMPONENTS
!define MUI_DIRECTORYPAGE_TEXT_TOP "The command-line tools$\r$\n\
  ${APP_TEXT}and the uninstaller go into this folder."
!insertmacro MUI_PAGE_DIRECTORY
!define MUI_PAGE_HEADER_TEXT "VST3 folder"
!define MUI_PAGE_HEADER_SUBTEXT "Choose the folder your host takes VST3 plug-ins from."
!define MUI_DIRECTORYPAGE_TEXT_TOP "The plug-in bundle Selvarin.vst3 goes into this folder. Hosts look in$\r$\n\
  $COMMONFILES64\VST3 unless told otherwise."
!define MUI_DIRECTORYPAGE_VARIABLE $Vst3Dir
!define MUI_PAGE_CUSTOMFUNCTION_PRE SkipVst3PageWithoutPlugin
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Installs a file into $OUTDIR under its name and lists it.
!macro Put SOURCE NAME
  File "/oname=${NAME}" "${SOURCE}"
  FileWrite $Files "$OUTDIR\${NAME}$\r$\n"
!macroend

; Removes what the list names (a line ending in \ is a folder of ours, whole;
; a file's folder goes when nothing else is left in it), then the list.
!macro RemoveListed UN
Function ${UN}RemoveListed
  Exch $0          ; the list
  Push $1
  Push $2
  ClearErrors
  FileOpen $1 $0 r
  ${IfNot} ${Errors}
    ${Do}
      ClearErrors
      FileRead $1 $Line
      ${If} ${Errors}
        ${Break}
      ${EndIf}
      ${TrimNewLines} $Line $Line
      StrCpy $2 $Line 1 -1
      ${If} $Line == ""
        ${Continue}
      ${ElseIf} $2 == "\"
        StrCpy $Line $Line -1
        RMDir /r $Line
        ${GetParent} $Line $2
      ${Else}
        Delete $Line
        ${GetParent} $Line $2
      ${EndIf}
      RMDir $2     ; only when empty
    ${Loop}
    FileClose $1
  ${EndIf}
  Delete $0
  Pop $2
  Pop $1
  Pop $0
FunctionEnd
!macroend
!insertmacro RemoveListed ""
!insertmacro RemoveListed "un."

Function .onInit
  SetShellVarContext all
  SetRegView 64
  ReadRegStr $Vst3Dir HKLM "${PRODUCT_KEY}" "VST3Folder"
  ${If} $Vst3Dir == ""
    StrCpy $Vst3Dir "$COMMONFILES64\VST3"
  ${EndIf}
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/VST3=" $R1
  ${IfNot} ${Errors}
    StrCpy $Vst3Dir $R1
  ${EndIf}
FunctionEnd

; Files of an earlier installation (of any version) go first.
Section "-previous"
  SetRegView 64
  ReadRegStr $R0 HKLM "${PRODUCT_KEY}" "InstallFolder"
  ${If} $R0 != ""
  ${AndIf} ${FileExists} "$R0\${FILE_LIST}"
    Push "$R0\${FILE_LIST}"
    Call RemoveListed
    Delete "$R0\uninstall.exe"
    RMDir $R0
  ${EndIf}
  CreateDirectory $INSTDIR
  FileOpen $Files "$INSTDIR\${FILE_LIST}" w
SectionEnd

Section "VST3 plug-in" SecPlugin
  SetOutPath $Vst3Dir
  File /r "${STAGE}\Selvarin.vst3"
  FileWrite $Files "$Vst3Dir\Selvarin.vst3\$\r$\n"
  WriteRegStr HKLM "${PRODUCT_KEY}" "VST3Folder" $Vst3Dir
SectionEnd

Section "Command-line tools (selvarin-render, selvarin-snapshot)" SecTools
  SetOutPath $INSTDIR
  !insertmacro Put "${STAGE}\selvarin-render.exe" "selvarin-render.exe"
  !insertmacro Put "${STAGE}\selvarin-snapshot.exe" "selvarin-snapshot.exe"
SectionEnd

!ifdef HAVE_APP
Section "Selvarin application" SecApp
  SetOutPath $INSTDIR
  !insertmacro Put "${STAGE}\Selvarin.exe" "Selvarin.exe"
  CreateShortCut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\Selvarin.exe"
  FileWrite $Files "$SMPROGRAMS\${PRODUCT}.lnk$\r$\n"
SectionEnd
!endif

Section "-documents and uninstaller"
  SetOutPath $INSTDIR
  !insertmacro Put "${STAGE}\README.txt" "README.txt"
  !insertmacro Put "${STAGE}\LICENSE.txt" "LICENSE.txt"
  FileClose $Files
  WriteUninstaller "$INSTDIR\uninstall.exe"
  ${IfNot} ${SectionIsSelected} ${SecPlugin}
    DeleteRegValue HKLM "${PRODUCT_KEY}" "VST3Folder"
  ${EndIf}
  WriteRegStr HKLM "${PRODUCT_KEY}" "InstallFolder" $INSTDIR
  WriteRegStr HKLM "${PRODUCT_KEY}" "Version" "${VERSION}"

  ; Programs and Features.
  ${GetSize} $INSTDIR "/S=0K" $0 $1 $2
  ${If} ${SectionIsSelected} ${SecPlugin}
    ${GetSize} "$Vst3Dir\Selvarin.vst3" "/S=0K" $1 $2 $3
    IntOp $0 $0 + $1
  ${EndIf}
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" $INSTDIR
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\uninstall.exe"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Function SkipVst3PageWithoutPlugin
  ${IfNot} ${SectionIsSelected} ${SecPlugin}
    Abort
  ${EndIf}
FunctionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecPlugin} "Selvarin.vst3, the instrument for VST3 hosts."
  !insertmacro MUI_DESCRIPTION_TEXT ${SecTools} \
    "selvarin-render writes the instrument's sound to audio files; selvarin-snapshot draws its editor to a PNG."
  !ifdef HAVE_APP
    !insertmacro MUI_DESCRIPTION_TEXT ${SecApp} "The desktop application, with a Start-menu entry."
  !endif
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Function un.onInit
  SetShellVarContext all
  SetRegView 64
FunctionEnd

Section "Uninstall"
  Push "$INSTDIR\${FILE_LIST}"
  Call un.RemoveListed
  Delete "$INSTDIR\uninstall.exe"
  RMDir $INSTDIR
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DeleteRegKey HKLM "${PRODUCT_KEY}"
  DeleteRegKey /ifempty HKLM "Software\Kavelin"
SectionEnd
