; The Windows installer: installs the program and its command line per
; machine under Program Files, with a Start-menu shortcut that starts it in its own folder (where its
; name pools lie), OpenCC's dictionaries in the folder opencc, its licences
; and source beside it, an entry in Add/Remove Programs and an uninstaller
; that removes everything it installed. Its texts are in Traditional Chinese.
;
; makensis -INPUTCHARSET UTF8 -DVERSION=1.0.0 -DSTAGE=<folder with the files>
;          -DICON=<officer-maker.ico> -DOUTFILE=<setup.exe> installer.nsi

; A 64-bit installer, as the program is: it runs where the program does.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "MUI2.nsh"

!define APPNAME "龍旗戰記新武將作成器"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\officer-maker"

Name "${APPNAME}"
Caption "${APPNAME} ${VERSION} 安裝程式"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\officer-maker"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${APPNAME} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1028 "ProductName" "${APPNAME}"
VIAddVersionKey /LANG=1028 "FileDescription" "${APPNAME} 安裝程式"
VIAddVersionKey /LANG=1028 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1028 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1028 "CompanyName" "Officer Maker developers"
VIAddVersionKey /LANG=1028 "LegalCopyright" "Officer Maker developers"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\officer-maker.exe"
!define MUI_FINISHPAGE_RUN_TEXT "啟動${APPNAME}"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "TradChinese"

Function .onInit
    SetRegView 64
    SetShellVarContext all
FunctionEnd

Function un.onInit
    SetRegView 64
    SetShellVarContext all
FunctionEnd

Section "${APPNAME}"
    SetOutPath "$INSTDIR"
    File "${STAGE}\officer-maker.exe"
    File "${STAGE}\officer-maker-cli.exe"
    File "${STAGE}\familyName.dat"
    File "${STAGE}\boyName.dat"
    File "${STAGE}\girlName.dat"
    File "${STAGE}\README.txt"
    File "${STAGE}\LICENSE.txt"
    File "${STAGE}\LICENSE-Qt.txt"
    File "${STAGE}\THIRD-PARTY-NOTICES.txt"
    File "${STAGE}\LICENSE-OpenCC.txt"
    File "${STAGE}\officer-maker-${VERSION}-source.tar.gz"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    ; OpenCC's dictionaries, for names typed in simplified Chinese.
    SetOutPath "$INSTDIR\opencc"
    File "${STAGE}\opencc\STPhrases.txt"
    File "${STAGE}\opencc\STCharacters.txt"
    SetOutPath "$INSTDIR"

    ; The shortcut starts the program in the output folder, $INSTDIR.
    CreateShortCut "$SMPROGRAMS\${APPNAME}.lnk" "$INSTDIR\officer-maker.exe" "" \
        "$INSTDIR\officer-maker.exe" 0

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${APPNAME}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\officer-maker.exe,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Officer Maker developers"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" ${SIZE_KB}
SectionEnd

Section "Uninstall"
    Delete "$SMPROGRAMS\${APPNAME}.lnk"
    Delete "$INSTDIR\officer-maker.exe"
    Delete "$INSTDIR\officer-maker-cli.exe"
    Delete "$INSTDIR\familyName.dat"
    Delete "$INSTDIR\boyName.dat"
    Delete "$INSTDIR\girlName.dat"
    Delete "$INSTDIR\README.txt"
    Delete "$INSTDIR\LICENSE.txt"
    Delete "$INSTDIR\LICENSE-Qt.txt"
    Delete "$INSTDIR\THIRD-PARTY-NOTICES.txt"
    Delete "$INSTDIR\LICENSE-OpenCC.txt"
    Delete "$INSTDIR\officer-maker-${VERSION}-source.tar.gz"
    Delete "$INSTDIR\opencc\STPhrases.txt"
    Delete "$INSTDIR\opencc\STCharacters.txt"
    RMDir "$INSTDIR\opencc"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
