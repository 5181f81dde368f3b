; The Windows installer of Kestrel, built by scripts/windows with
;   makensis -DVERSION=X.Y.Z -DORIGEN=<folder with the program and its DLLs> -DSALIDA=<setup.exe> kestrel.nsi
; Installs for every user of the PC under Program Files, adds a Start-menu entry, starts the agent at every
; user's logon and lists itself in the installed apps. For deploying to many PCs:
;   kestrel-X.Y.Z-windows-x64-setup.exe /S [/SERVIDOR=equipo:puerto] [/D=C:\Otra\Carpeta]
;   "C:\Program Files\Kestrel\desinstalar.exe" /S
; /SERVIDOR writes %PROGRAMDATA%\kestrel\kestrel-agente.conf when the PC has none yet.

Unicode true
; Without this makensis makes a 32-bit installer, which a 64-bit-only Windows (or Wine) cannot start.
Target amd64-unicode
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "FileFunc.nsh"

!define CLAVE_DESINSTALAR "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kestrel"
!define CLAVE_INICIO "Software\Microsoft\Windows\CurrentVersion\Run"

Name "Kestrel"
OutFile "${SALIDA}"
InstallDir "$PROGRAMFILES64\Kestrel"
InstallDirRegKey HKLM "Software\Kestrel" "Carpeta"
RequestExecutionLevel admin
BrandingText "Kestrel ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=3082 "ProductName" "Kestrel"
VIAddVersionKey /LANG=3082 "FileDescription" "Instalador del agente de impresión Kestrel"
VIAddVersionKey /LANG=3082 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=3082 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=3082 "LegalCopyright" "Kestrel"

!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\kestrel-agente.exe"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Spanish"

Section "Kestrel"
    SetShellVarContext all
    ; A running agent keeps its files open: an update closes it first (it starts again at the next logon).
    nsExec::Exec 'taskkill /F /IM kestrel-agente.exe'
    SetOutPath "$INSTDIR"
    File /r "${ORIGEN}\*"
    WriteUninstaller "$INSTDIR\desinstalar.exe"

    CreateDirectory "$SMPROGRAMS\Kestrel"
    CreateShortCut "$SMPROGRAMS\Kestrel\Kestrel.lnk" "$INSTDIR\kestrel-agente.exe"
    CreateShortCut "$SMPROGRAMS\Kestrel\Desinstalar Kestrel.lnk" "$INSTDIR\desinstalar.exe"
    WriteRegStr HKLM "${CLAVE_INICIO}" "Kestrel" '"$INSTDIR\kestrel-agente.exe"'

    WriteRegStr HKLM "Software\Kestrel" "Carpeta" "$INSTDIR"
    WriteRegStr HKLM "${CLAVE_DESINSTALAR}" "DisplayName" "Kestrel"
    WriteRegStr HKLM "${CLAVE_DESINSTALAR}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${CLAVE_DESINSTALAR}" "Publisher" "Kestrel"
    WriteRegStr HKLM "${CLAVE_DESINSTALAR}" "DisplayIcon" "$INSTDIR\kestrel-agente.exe"
    WriteRegStr HKLM "${CLAVE_DESINSTALAR}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${CLAVE_DESINSTALAR}" "UninstallString" '"$INSTDIR\desinstalar.exe"'
    WriteRegStr HKLM "${CLAVE_DESINSTALAR}" "QuietUninstallString" '"$INSTDIR\desinstalar.exe" /S'
    WriteRegDWORD HKLM "${CLAVE_DESINSTALAR}" "NoModify" 1
    WriteRegDWORD HKLM "${CLAVE_DESINSTALAR}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKLM "${CLAVE_DESINSTALAR}" "EstimatedSize" $0

    ; /SERVIDOR=equipo:puerto on the command line: the settings of every user of this PC, unless they exist.
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/SERVIDOR=" $1
    ${IfNot} ${Errors}
    ${AndIfNot} ${FileExists} "$APPDATA\kestrel\kestrel-agente.conf"
        CreateDirectory "$APPDATA\kestrel"
        FileOpen $2 "$APPDATA\kestrel\kestrel-agente.conf" w
        FileWrite $2 "[agente]$\r$\nservidor=$1$\r$\n"
        FileClose $2
    ${EndIf}
SectionEnd

Section "Uninstall"
    SetShellVarContext all
    nsExec::Exec 'taskkill /F /IM kestrel-agente.exe'
    DeleteRegValue HKLM "${CLAVE_INICIO}" "Kestrel"
    DeleteRegKey HKLM "${CLAVE_DESINSTALAR}"
    DeleteRegKey HKLM "Software\Kestrel"
    RMDir /r "$SMPROGRAMS\Kestrel"
    ; The settings in %PROGRAMDATA% and each user's branch code and journal stay: they are the branch's data.
    RMDir /r "$INSTDIR"
SectionEnd
