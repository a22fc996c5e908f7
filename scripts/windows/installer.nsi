; The Windows installer of Świadectwa 1-3, made by scripts/windows/build.sh:
;   makensis -DSTAGE=<folder with the installed program> -DVERSION=1.6.2
;            -DFILES=<install list> -DUNFILES=<uninstall list> -DOUTFILE=<setup.exe>
; The teacher's program folder (ProgramData\Veltra-BR5) and her class files
; are never touched: the uninstaller removes only the files installed here.
; A 64-bit program, a 64-bit installer (and no 32-bit layer needed to run it).
Target amd64-unicode
SetCompressor /SOLID lzma
!include "MUI2.nsh"

!define APPNAME "Świadectwa 1-3"
!define APPKEY "Swiadectwa13"
!define FILETYPE "Swiadectwa13.PlikKlasy"
!define UNINSTKEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${APPKEY}"

Name "${APPNAME}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Swiadectwa 1-3"
InstallDirRegKey HKLM "Software\${APPKEY}" "InstallDir"
RequestExecutionLevel admin
BrandingText "${APPNAME} ${VERSION}"

!define MUI_ICON "${STAGE}/swiadectwa.ico"
!define MUI_UNICON "${STAGE}/swiadectwa.ico"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\swiadectwa.exe"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Polish"

Function .onInit
    SetRegView 64
FunctionEnd
Function un.onInit
    SetRegView 64
FunctionEnd

Section "Program" SecProgram
    SectionIn RO
    ; A running copy would keep its files locked.
    !include "${FILES}"
    WriteUninstaller "$INSTDIR\odinstaluj.exe"

    CreateShortcut "$SMPROGRAMS\${APPNAME}.lnk" "$INSTDIR\swiadectwa.exe" "" "$INSTDIR\swiadectwa.ico"

    ; The class file type and its icon; a double click opens the class.
    WriteRegStr HKLM "Software\Classes\.sqbr5" "" "${FILETYPE}"
    WriteRegStr HKLM "Software\Classes\${FILETYPE}" "" "Plik klasy (Świadectwa 1-3)"
    WriteRegStr HKLM "Software\Classes\${FILETYPE}\DefaultIcon" "" "$INSTDIR\swiadectwa.ico"
    WriteRegStr HKLM "Software\Classes\${FILETYPE}\shell\open\command" "" '"$INSTDIR\swiadectwa.exe" "%1"'
    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'

    WriteRegStr HKLM "Software\${APPKEY}" "InstallDir" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTKEY}" "DisplayName" "${APPNAME}"
    WriteRegStr HKLM "${UNINSTKEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTKEY}" "Publisher" "Veltra-BR5"
    WriteRegStr HKLM "${UNINSTKEY}" "DisplayIcon" "$INSTDIR\swiadectwa.ico"
    WriteRegStr HKLM "${UNINSTKEY}" "UninstallString" '"$INSTDIR\odinstaluj.exe"'
    WriteRegStr HKLM "${UNINSTKEY}" "QuietUninstallString" '"$INSTDIR\odinstaluj.exe" /S'
    WriteRegDWORD HKLM "${UNINSTKEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTKEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    ; Only what was installed; a folder keeps anything else put into it.
    !include "${UNFILES}"
    Delete "$INSTDIR\odinstaluj.exe"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\${APPNAME}.lnk"
    ReadRegStr $0 HKLM "Software\Classes\.sqbr5" ""
    StrCmp $0 "${FILETYPE}" 0 +2
    DeleteRegKey HKLM "Software\Classes\.sqbr5"
    DeleteRegKey HKLM "Software\Classes\${FILETYPE}"
    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
    DeleteRegKey HKLM "Software\${APPKEY}"
    DeleteRegKey HKLM "${UNINSTKEY}"
SectionEnd
