; The Windows installer of RVK Report, built by scripts/build-windows, which
; passes the version, the architecture and the lists of files to install and
; to remove (-DVERSION, -DARCH, -DPROGRAMFILES_DIR, -DOUTFILE, -DICON,
; -DINSTALL_FILES, -DUNINSTALL_FILES), and -DSIGN, the command that signs a
; file in place, when the build is signed. Silent with /S.
;
; Installed over another build, it first runs that build's own uninstaller,
; which removes exactly the files that build installed and leaves the user's
; settings, login token and working folder; so no file of an older file list
; stays behind. A newer build than this one is replaced only when the user
; agrees; a silent install (/S) refuses it with exit code 2 unless given
; /ALLOWDOWNGRADE.
Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "WordFunc.nsh"

!define PRODUCT "RVK Report"
!define MAKER "ZELMOR"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "${PROGRAMFILES_DIR}\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"
!ifdef SIGN
; The uninstaller is signed before it is packed into the installer, so the
; one WriteUninstaller puts on the PC carries the signature.
!uninstfinalize '"${SIGN}" "%1"' = 0
!finalize '"${SIGN}" "%1"' = 0
!endif
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${MAKER}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} installer"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${MAKER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\RVKReport.exe"
!define MUI_FINISHPAGE_RUN_PARAMETERS "--documents"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Russian"
!insertmacro MUI_LANGUAGE "English"

LangString NewerInstalled ${LANG_RUSSIAN} "Установлена более новая версия ${PRODUCT} ($0). Заменить её версией ${VERSION}?"
LangString NewerInstalled ${LANG_ENGLISH} "A newer version of ${PRODUCT} ($0) is installed. Replace it with version ${VERSION}?"

Function .onInit
!if "${ARCH}" == "x86_64"
    SetRegView 64
!endif
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "DisplayVersion"
    ${If} $0 != ""
        ${VersionCompare} "$0" "${VERSION}" $1
        ${If} $1 == 1
            ${GetParameters} $2
            ClearErrors
            ${GetOptions} $2 "/ALLOWDOWNGRADE" $3
            ${If} ${Errors}
                MessageBox MB_YESNO|MB_ICONEXCLAMATION "$(NewerInstalled)" /SD IDNO IDYES downgrade
                SetErrorLevel 2
                Quit
                downgrade:
            ${EndIf}
        ${EndIf}
    ${EndIf}
FunctionEnd

Function un.onInit
!if "${ARCH}" == "x86_64"
    SetRegView 64
!endif
FunctionEnd

Section "${PRODUCT}"
    ; The shortcut is for everyone who uses the PC: the station's engineers
    ; share it.
    SetShellVarContext all
    ; _? runs the old uninstaller where it is and waits for it; it cannot
    ; delete itself there, and WriteUninstaller replaces it.
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 != ""
    ${AndIf} ${FileExists} "$0\uninstall.exe"
        ExecWait '"$0\uninstall.exe" /S _?=$0'
    ${EndIf}
    SetOutPath "$INSTDIR"
!include "${INSTALL_FILES}"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    ; The program works in Documents\RVK Report itself (--documents), as the
    ; desktop entry on Linux does; the shortcut starts it in its own folder.
    CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\RVKReport.exe" "--documents" "$INSTDIR\RVKReport.exe" 0

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${MAKER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\RVKReport.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Removes what was installed, file by file. The reports, archive files and
; logs live in the user's Documents\RVK Report and are left alone, and so
; are the user's settings.
Section "Uninstall"
    SetShellVarContext all
    Delete "$SMPROGRAMS\${PRODUCT}.lnk"
!include "${UNINSTALL_FILES}"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
