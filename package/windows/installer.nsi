; The Calvera driver package for Windows.
;
; Installs the ASIO driver in the system folders of its two widths and
; registers each with the registration program of its own width, installs the
; settings program, the launcher and the README documents into the
; installation folder, puts that folder on the machine's search path (the
; driver starts the settings program and the launcher by file name alone),
; writes the installation record the settings program reads, adds a start-menu
; entry and an entry in the list of installed programs. The uninstaller
; unregisters first and then takes all of it away again; the registry's
; SOFTWARE\ASIO key stays, as unregistering leaves it.
;
; build-installer.sh compiles this with the files given as defines:
;   MX_VERSION        four-part numeric version (1.0.0.0)
;   MX_VERSION_TEXT   the version as the settings program shows it
;   MX_COPYRIGHT      copyright text of the installation record
;   MX_DRIVER64, MX_DRIVER32, MX_LAUNCHER, MX_SEARCHPATH, MX_SETTINGS, MX_README_DIR
;   MX_OUTFILE        the installer to write
; and, for the test build that runs under 64-bit-only Wine:
;   MX_TEST64         a 64-bit installer that places the 32-bit driver but
;                     cannot run the 32-bit registration program
;   MX_NO_SETTINGS    leaves the settings program out (not built yet)

Unicode true
!ifdef MX_TEST64
  Target amd64-unicode
!endif
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestSupportedOS all
; LogicLib leaves labels unused where a condition is known when compiling.
!pragma warning disable 6012

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "x64.nsh"

!define MX_PRODUCT "Calvera Driver"
!define MX_MODEL "Calvera"
!define MX_RECORD_ID "{2D7F41A9-3C05-4E8B-B716-95E0A4C3F812}"
!define MX_RECORD_KEY "CLSID\${MX_RECORD_ID}\MXID4410"
!define MX_UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Calvera"
!define MX_MENU_FOLDER "$SMPROGRAMS\Calvera"

Name "${MX_PRODUCT}"
OutFile "${MX_OUTFILE}"
; The settings program is a 32-bit program: its folder is the 32-bit program files folder.
InstallDir "$PROGRAMFILES32\Calvera"
InstallDirRegKey HKLM "${MX_UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${MX_VERSION}"
VIFileVersion "${MX_VERSION}"
VIAddVersionKey /LANG=0 "ProductName" "${MX_PRODUCT}"
VIAddVersionKey /LANG=0 "ProductVersion" "${MX_VERSION_TEXT}"
VIAddVersionKey /LANG=0 "FileVersion" "${MX_VERSION}"
VIAddVersionKey /LANG=0 "FileDescription" "${MX_PRODUCT} Setup"
VIAddVersionKey /LANG=0 "LegalCopyright" "${MX_COPYRIGHT}"

Var SysDir32  ; the system folder of 32-bit programs

; --- pages and languages --------------------------------------------------

!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\Readme\$(MX_README_FILE)"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The languages of the settings program; the installer speaks the user's one.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "German"
!insertmacro MUI_LANGUAGE "Spanish"
!insertmacro MUI_LANGUAGE "French"
!insertmacro MUI_LANGUAGE "Italian"
!insertmacro MUI_LANGUAGE "Dutch"
!insertmacro MUI_LANGUAGE "PortugueseBR"
!insertmacro MUI_LANGUAGE "Japanese"

; The start-menu entry carries the settings program's title in each language.
LangString MX_SHORTCUT ${LANG_ENGLISH} "Calvera Driver Settings"
LangString MX_SHORTCUT ${LANG_GERMAN} "Calvera Treibereinstellungen"
LangString MX_SHORTCUT ${LANG_SPANISH} "Configuración del controlador Calvera"
LangString MX_SHORTCUT ${LANG_FRENCH} "Paramètres du pilote Calvera"
LangString MX_SHORTCUT ${LANG_ITALIAN} "Impostazioni driver Calvera"
LangString MX_SHORTCUT ${LANG_DUTCH} "Calvera stuurprogramma-instellingen"
LangString MX_SHORTCUT ${LANG_PORTUGUESEBR} "Configurações do driver Calvera"
LangString MX_SHORTCUT ${LANG_JAPANESE} "Calvera ドライバー設定"

LangString MX_README_FILE ${LANG_ENGLISH} "Readme_EN.htm"
LangString MX_README_FILE ${LANG_GERMAN} "Readme_DE.htm"
LangString MX_README_FILE ${LANG_SPANISH} "Readme_ES.htm"
LangString MX_README_FILE ${LANG_FRENCH} "Readme_FR.htm"
LangString MX_README_FILE ${LANG_ITALIAN} "Readme_IT.htm"
LangString MX_README_FILE ${LANG_DUTCH} "Readme_NL.htm"
LangString MX_README_FILE ${LANG_PORTUGUESEBR} "Readme_PT.htm"
LangString MX_README_FILE ${LANG_JAPANESE} "Readme_JP.htm"

LangString MX_REGISTER_FAILED ${LANG_ENGLISH} "The ASIO driver could not be registered (error $0)."
LangString MX_REGISTER_FAILED ${LANG_GERMAN} "Der ASIO-Treiber konnte nicht registriert werden (Fehler $0)."
LangString MX_REGISTER_FAILED ${LANG_SPANISH} "No se pudo registrar el controlador ASIO (error $0)."
LangString MX_REGISTER_FAILED ${LANG_FRENCH} "Impossible d'enregistrer le pilote ASIO (erreur $0)."
LangString MX_REGISTER_FAILED ${LANG_ITALIAN} "Impossibile registrare il driver ASIO (errore $0)."
LangString MX_REGISTER_FAILED ${LANG_DUTCH} "Het ASIO-stuurprogramma kon niet worden geregistreerd (fout $0)."
LangString MX_REGISTER_FAILED ${LANG_PORTUGUESEBR} "Não foi possível registrar o driver ASIO (erro $0)."
LangString MX_REGISTER_FAILED ${LANG_JAPANESE} "ASIO ドライバーを登録できませんでした (エラー $0)。"

; --- helpers ----------------------------------------------------------------

; Runs a registration program; a failure is reported and the installation
; goes on (the files are in place and can be registered by hand).
!macro MxRegister REGSVR DLL
  ExecWait '"${REGSVR}" /s "${DLL}"' $0
  ${If} $0 != 0
    DetailPrint "$(MX_REGISTER_FAILED)"
    MessageBox MB_OK|MB_ICONEXCLAMATION "$(MX_REGISTER_FAILED)" /SD IDOK
  ${EndIf}
!macroend

!macro MxUnregister REGSVR DLL
  ${If} ${FileExists} "${DLL}"
    ExecWait '"${REGSVR}" /s /u "${DLL}"' $0
  ${EndIf}
!macroend

; The system folder of 32-bit programs: SysWOW64 on 64-bit Windows, where a
; 32-bit process sees it as its system32.
!macro MxFindSystemFolders
  ${If} ${RunningX64}
    StrCpy $SysDir32 "$WINDIR\SysWOW64"
  ${Else}
    StrCpy $SysDir32 "$SYSDIR"
  ${EndIf}
!macroend

; The 64-bit system folder, seen as it is even from this installer when it is
; a 32-bit program.
!macro MxEnter64BitSystemFolder
  !ifndef MX_TEST64
    ${DisableX64FSRedirection}
  !endif
!macroend
!macro MxLeave64BitSystemFolder
  !ifndef MX_TEST64
    ${EnableX64FSRedirection}
  !endif
!macroend

; The installer and the uninstaller speak the user's interface language,
; which NSIS picks among the languages above; both work for all users.
Function .onInit
  SetShellVarContext all
FunctionEnd

Function un.onInit
  SetShellVarContext all
FunctionEnd

; --- installation -------------------------------------------------------------

Section "Install"
  !insertmacro MxFindSystemFolders

  ; The drivers, each in the system folder of its width and registered by
  ; that width's registration program.
  ${If} ${RunningX64}
    !insertmacro MxEnter64BitSystemFolder
    SetOutPath "$WINDIR\System32"
    File "${MX_DRIVER64}"
    !insertmacro MxRegister "$WINDIR\System32\regsvr32.exe" "$WINDIR\System32\Mxsb4410.dll"
    !insertmacro MxLeave64BitSystemFolder
  ${EndIf}
  SetOutPath "$SysDir32"
  File "${MX_DRIVER32}"
  !ifdef MX_TEST64
    DetailPrint "Test build: the 32-bit driver is placed but not registered (no 32-bit process can run here)"
  !else
    !insertmacro MxRegister "$SysDir32\regsvr32.exe" "$SysDir32\Mxsa4410.dll"
  !endif

  ; The installation folder.
  SetOutPath "$INSTDIR"
  !ifndef MX_NO_SETTINGS
    File "${MX_SETTINGS}"
  !endif
  File "${MX_LAUNCHER}"
  SetOutPath "$INSTDIR\Readme"
  File "${MX_README_DIR}/Readme_DE.htm"
  File "${MX_README_DIR}/Readme_ES.htm"
  File "${MX_README_DIR}/Readme_FR.htm"
  File "${MX_README_DIR}/Readme_IT.htm"
  File "${MX_README_DIR}/Readme_NL.htm"
  File "${MX_README_DIR}/Readme_PT.htm"
  File "${MX_README_DIR}/Readme_EN.htm"
  File "${MX_README_DIR}/Readme_JP.htm"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  ; The installation record, in the registry view of the 32-bit settings program.
  SetRegView 32
  WriteRegStr HKCR "${MX_RECORD_KEY}" "" "$INSTDIR"
  WriteRegStr HKCR "${MX_RECORD_KEY}" "version" "${MX_VERSION_TEXT}"
  WriteRegStr HKCR "${MX_RECORD_KEY}" "copyright" "${MX_COPYRIGHT}"
  SetRegView lastused

  ; The driver starts "Mxcp4410.exe" and "Mxlh4410.dat" by name alone.
  InitPluginsDir
  File "/oname=$PLUGINSDIR\searchpath.exe" "${MX_SEARCHPATH}"
  ExecWait '"$PLUGINSDIR\searchpath.exe" add "$INSTDIR"' $0
  ${If} $0 != 0
    DetailPrint "The installation folder could not be added to the search path ($0)"
  ${EndIf}

  CreateDirectory "${MX_MENU_FOLDER}"
  CreateShortcut "${MX_MENU_FOLDER}\$(MX_SHORTCUT).lnk" "$INSTDIR\Mxcp4410.exe"

  WriteRegStr HKLM "${MX_UNINSTALL_KEY}" "DisplayName" "${MX_PRODUCT}"
  WriteRegStr HKLM "${MX_UNINSTALL_KEY}" "DisplayVersion" "${MX_VERSION_TEXT}"
  WriteRegStr HKLM "${MX_UNINSTALL_KEY}" "Publisher" "Calvera Audio"
  WriteRegStr HKLM "${MX_UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${MX_UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${MX_UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${MX_UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${MX_UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; --- uninstallation -----------------------------------------------------------

Section "Uninstall"
  !insertmacro MxFindSystemFolders

  ; Unregister first, while the libraries are still there.
  ${If} ${RunningX64}
    !insertmacro MxEnter64BitSystemFolder
    !insertmacro MxUnregister "$WINDIR\System32\regsvr32.exe" "$WINDIR\System32\Mxsb4410.dll"
    Delete /REBOOTOK "$WINDIR\System32\Mxsb4410.dll"
    !insertmacro MxLeave64BitSystemFolder
  ${EndIf}
  !ifndef MX_TEST64
    !insertmacro MxUnregister "$SysDir32\regsvr32.exe" "$SysDir32\Mxsa4410.dll"
  !endif
  Delete /REBOOTOK "$SysDir32\Mxsa4410.dll"

  SetRegView 32
  DeleteRegKey HKCR "${MX_RECORD_KEY}"
  DeleteRegKey /ifempty HKCR "CLSID\${MX_RECORD_ID}"
  SetRegView lastused

  InitPluginsDir
  File "/oname=$PLUGINSDIR\searchpath.exe" "${MX_SEARCHPATH}"
  ExecWait '"$PLUGINSDIR\searchpath.exe" remove "$INSTDIR"'

  ; The start-menu entry under whichever language's name it was made.
  Delete "${MX_MENU_FOLDER}\Calvera Driver Settings.lnk"
  Delete "${MX_MENU_FOLDER}\Calvera Treibereinstellungen.lnk"
  Delete "${MX_MENU_FOLDER}\Configuración del controlador Calvera.lnk"
  Delete "${MX_MENU_FOLDER}\Paramètres du pilote Calvera.lnk"
  Delete "${MX_MENU_FOLDER}\Impostazioni driver Calvera.lnk"
  Delete "${MX_MENU_FOLDER}\Calvera stuurprogramma-instellingen.lnk"
  Delete "${MX_MENU_FOLDER}\Configurações do driver Calvera.lnk"
  Delete "${MX_MENU_FOLDER}\Calvera ドライバー設定.lnk"
  RMDir "${MX_MENU_FOLDER}"

  Delete "$INSTDIR\Mxcp4410.exe"
  Delete "$INSTDIR\Mxlh4410.dat"
  Delete "$INSTDIR\Readme\Readme_DE.htm"
  Delete "$INSTDIR\Readme\Readme_ES.htm"
  Delete "$INSTDIR\Readme\Readme_FR.htm"
  Delete "$INSTDIR\Readme\Readme_IT.htm"
  Delete "$INSTDIR\Readme\Readme_NL.htm"
  Delete "$INSTDIR\Readme\Readme_PT.htm"
  Delete "$INSTDIR\Readme\Readme_EN.htm"
  Delete "$INSTDIR\Readme\Readme_JP.htm"
  RMDir "$INSTDIR\Readme"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"

  DeleteRegKey HKLM "${MX_UNINSTALL_KEY}"
SectionEnd
