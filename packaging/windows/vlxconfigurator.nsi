; The Windows installer of VLX Configurator, built by scripts/package-windows.sh with
;   makensis -DVLX_VERSION=2.2.0.0 -DVLX_SOURCE=<package folder> -DVLX_FILES=<file list>
;            -DVLX_SIZE_KB=<size> -DVLX_OUTFILE=<setup.exe> [-DVLX_ICON=<.ico>] vlxconfigurator.nsi
; Per machine under Program Files, a Start menu entry, an uninstaller and an entry in the list of
; installed programs. /S installs (and uninstall.exe /S uninstalls) without a window.

Unicode true
; The program is 64-bit; so is its installer, which then sees the 64-bit registry and folders.
Target amd64-unicode
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "LogicLib.nsh"

!define VLX_NAME "VLX Configurator"
!define VLX_PUBLISHER "VORNA Roboter GmbH"
!define VLX_EXE "vlxconfigurator.exe"
!define VLX_UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\VlxConfigurator"

Name "${VLX_NAME} ${VLX_VERSION}"
OutFile "${VLX_OUTFILE}"
; The program writes HKEY_LOCAL_MACHINE and is installed for every user of the controller.
RequestExecutionLevel admin
InstallDir "$PROGRAMFILES64\${VLX_NAME}"
InstallDirRegKey HKLM "${VLX_UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VLX_VERSION}"
VIAddVersionKey "ProductName" "${VLX_NAME}"
VIAddVersionKey "CompanyName" "${VLX_PUBLISHER}"
VIAddVersionKey "FileDescription" "${VLX_NAME} setup"
VIAddVersionKey "FileVersion" "${VLX_VERSION}"
VIAddVersionKey "ProductVersion" "${VLX_VERSION}"
VIAddVersionKey "LegalCopyright" "${VLX_PUBLISHER}"

!ifdef VLX_ICON
    !define MUI_ICON "${VLX_ICON}"
    !define MUI_UNICON "${VLX_ICON}"
!endif
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\${VLX_EXE}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; A running program holds its file: Windows refuses to open it for writing. Replacing or removing
; the files under it would leave a half-updated installation, so both directions stop first.
!macro VlxRefuseWhileRunning
    ${If} ${FileExists} "$INSTDIR\${VLX_EXE}"
        ClearErrors
        FileOpen $0 "$INSTDIR\${VLX_EXE}" a
        ${If} ${Errors}
            MessageBox MB_OK|MB_ICONSTOP "${VLX_NAME} is running. Close it, then start this \
                program again." /SD IDOK
            SetErrorLevel 3
            Quit
        ${EndIf}
        FileClose $0
    ${EndIf}
!macroend

Function .onInit
    SetShellVarContext all
    SetRegView 64
    !insertmacro VlxRefuseWhileRunning
FunctionEnd

Function un.onInit
    SetShellVarContext all
    SetRegView 64
    !insertmacro VlxRefuseWhileRunning
FunctionEnd

; The file list (VLX_FILES) names each folder and file of the package, in this order; the
; uninstaller removes exactly those, so nothing else in the folder is lost.
!macro VlxDir dir
!macroend
!macro VlxFile file
!macroend

Section "Install"
    SetOutPath "$INSTDIR"
    !macroundef VlxDir
    !macroundef VlxFile
    !macro VlxDir dir
        CreateDirectory "$INSTDIR\${dir}"
    !macroend
    !macro VlxFile file
        File "/oname=$INSTDIR\${file}" "${VLX_SOURCE}\${file}"
    !macroend
    !include "${VLX_FILES}"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortcut "$SMPROGRAMS\${VLX_NAME}.lnk" "$INSTDIR\${VLX_EXE}"

    WriteRegStr HKLM "${VLX_UNINSTALL_KEY}" "DisplayName" "${VLX_NAME}"
    WriteRegStr HKLM "${VLX_UNINSTALL_KEY}" "DisplayVersion" "${VLX_VERSION}"
    WriteRegStr HKLM "${VLX_UNINSTALL_KEY}" "Publisher" "${VLX_PUBLISHER}"
    WriteRegStr HKLM "${VLX_UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${VLX_EXE},0"
    WriteRegStr HKLM "${VLX_UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${VLX_UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${VLX_UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${VLX_UNINSTALL_KEY}" "EstimatedSize" ${VLX_SIZE_KB}
    WriteRegDWORD HKLM "${VLX_UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${VLX_UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    !macroundef VlxDir
    !macroundef VlxFile
    !macro VlxDir dir
    !macroend
    !macro VlxFile file
        Delete "$INSTDIR\${file}"
    !macroend
    !include "${VLX_FILES}"
    ; The folders deepest first, each only when empty.
    !macroundef VlxDir
    !macroundef VlxFile
    !macro VlxDir dir
        RMDir "$INSTDIR\${dir}"
    !macroend
    !macro VlxFile file
    !macroend
    !include "${VLX_FILES}.dirs"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\${VLX_NAME}.lnk"
    DeleteRegKey HKLM "${VLX_UNINSTALL_KEY}"
SectionEnd
