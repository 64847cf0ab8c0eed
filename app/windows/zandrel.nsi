; The Windows installer: Zandrel for the current user, without administrator
; rights, in %LOCALAPPDATA%\Programs\Zandrel (or the folder /D= names), with a
; Start-menu shortcut and an entry under Settings > Apps that removes it.
;
; tools/make-installer.sh builds it with makensis from the program's folder
; as the zip holds it, passing:
;   PRODUCT    the product facts (product.nsh, configured by CMake)
;   FILES      the File lines of every file in that folder
;   UNFILES    the Delete and RMDir lines that take exactly those files away
;   LICENCE    the licence the wizard shows
;   OUTFILE    the installer to write
;
; The uninstaller beside zandrel.exe is also how the program knows it was
; installed: it then keeps the page and players.txt in Documents\Zandrel,
; where the uninstaller never reaches.

Unicode true
; Qt 6 runs on 64-bit Windows only, and a 32-bit stub would not even start
; where Windows runs without its 32-bit part.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true
ManifestSupportedOS all

!include "${PRODUCT}"
!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define PROGRAM "zandrel.exe"
!define UNINSTALLER "uninstall.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Zandrel"
; The mutex a running Zandrel holds for its whole run, in the session's namespace.
!define RUNNING_MUTEX "Zandrel"
; What the installer returns when it leaves everything as it was because
; Zandrel is running (1 is the user's Cancel, 2 a script's abort).
!define EXIT_ZANDREL_RUNNING 3

Name "Zandrel"
Caption "Zandrel ${PRODUCT_VERSION} Setup"
UninstallCaption "Zandrel Uninstall"
BrandingText "Zandrel ${PRODUCT_VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Zandrel"
; A Zandrel installed before is replaced where it is.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails nevershow
ShowUninstDetails nevershow
AllowSkipFiles off

VIProductVersion "${PRODUCT_VERSION_NUMBERS}"
VIAddVersionKey /LANG=1033 "ProductName" "Zandrel"
VIAddVersionKey /LANG=1033 "ProductVersion" "${PRODUCT_VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${PRODUCT_VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "Zandrel ${PRODUCT_VERSION} Setup"
VIAddVersionKey /LANG=1033 "CompanyName" "${PRODUCT_PUBLISHER}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${PRODUCT_PUBLISHER}, MIT licence"

!define MUI_ICON "..\zandrel.ico"
!define MUI_UNICON "..\zandrel.ico"
!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TEXT "This installs Zandrel ${PRODUCT_VERSION}, which makes a printable tournament bracket, for you alone: it needs no administrator rights.$\r$\n$\r$\nIf Zandrel is already installed, it is replaced; your brackets and players.txt in Documents\Zandrel stay as they are.$\r$\n$\r$\nClick Next to continue."
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${LICENCE}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\${PROGRAM}"
!define MUI_FINISHPAGE_RUN_TEXT "Start Zandrel"
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; Waits while Zandrel runs: the user closes it and chooses Retry, or chooses
; Cancel and the installer (or uninstaller) ends at once with nothing
; changed. Run silently it asks no one and ends the same way.
!macro WAIT_WHILE_ZANDREL_RUNS prefix
Function ${prefix}waitWhileZandrelRuns
    check:
        ; SYNCHRONIZE (0x00100000) is the least a handle can ask for.
        System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${RUNNING_MUTEX}") p .r0'
        ${If} $0 P= 0
            Return
        ${EndIf}
        System::Call 'kernel32::CloseHandle(p r0)'
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
            "Zandrel is running.$\r$\n$\r$\nClose it, then choose Retry; or choose Cancel to leave everything as it is." \
            /SD IDCANCEL IDRETRY check
    SetErrorLevel ${EXIT_ZANDREL_RUNNING}
    Quit
FunctionEnd
!macroend
!insertmacro WAIT_WHILE_ZANDREL_RUNS ""
!insertmacro WAIT_WHILE_ZANDREL_RUNS "un."

Function .onInit
    Call waitWhileZandrelRuns
FunctionEnd

Section "Zandrel"
    ; Zandrel may have been started while the wizard was open.
    Call waitWhileZandrelRuns

    ; A Zandrel installed before, here or in another folder, is taken away
    ; by its own uninstaller, which knows the files it put there: nothing
    ; the new version no longer ships is left behind. Run in place (_?=),
    ; it is waited for, and leaves only itself.
    ReadRegStr $R0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $R0 != ""
    ${AndIf} ${FileExists} "$R0\${UNINSTALLER}"
        DetailPrint "Removing the Zandrel in $R0"
        ClearErrors
        ExecWait '"$R0\${UNINSTALLER}" /S _?=$R0' $R1
        ${If} ${Errors}
        ${OrIf} $R1 != 0
            MessageBox MB_OK|MB_ICONSTOP "The Zandrel installed in $R0 could not be removed, so nothing was changed." /SD IDOK
            SetErrorLevel 2
            Quit
        ${EndIf}
        Delete "$R0\${UNINSTALLER}"
        RMDir "$R0"
    ${EndIf}

    !include "${FILES}"
    SetOutPath "$INSTDIR"
    WriteUninstaller "$INSTDIR\${UNINSTALLER}"
    CreateShortcut "$SMPROGRAMS\Zandrel.lnk" "$INSTDIR\${PROGRAM}" "" "$INSTDIR\${PROGRAM}" 0 \
        SW_SHOWNORMAL "" "${PRODUCT_DESCRIPTION}"

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Zandrel"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${PRODUCT_VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PRODUCT_PUBLISHER}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "URLInfoAbout" "${PRODUCT_WEB_LINK}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${PROGRAM},0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K /G=1" $0 $1 $2
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Function un.onInit
    Call un.waitWhileZandrelRuns
FunctionEnd

Section "Uninstall"
    Call un.waitWhileZandrelRuns
    ; Exactly the files this version put here; anything else in the folder
    ; is the user's, and keeps the folder.
    !include "${UNFILES}"
    Delete "$INSTDIR\${UNINSTALLER}"
    RMDir "$INSTDIR"
    ; The shortcut and the entry are this folder's only while the entry
    ; names it: an uninstaller left in a copied folder takes nothing else.
    ReadRegStr $R0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $R0 == $INSTDIR
        Delete "$SMPROGRAMS\Zandrel.lnk"
        DeleteRegKey HKCU "${UNINSTALL_KEY}"
    ${EndIf}
SectionEnd
