; The setup of the installation's programs, in Russian: installs them into Program Files,
; registers norvctrl.dll, makes the operator's data folder and the Start-menu shortcuts, and
; enters itself in "Programs and Features". /S installs silently, /D=<folder> chooses the folder.
; The uninstaller removes all of it but the data folder, which holds the operator's
; configuration and recordings. Neither changes anything while one of the programs runs from the
; folder: the operator is asked to close it, and a silent run ends with a non-zero code. CMake
; writes BUILD_DEFINES: VERSION, PRODUCT, COMPANY, COPYRIGHT, ARCH, BIN, GUIDE, EXAMPLES, ICON,
; OUTFILE.
Unicode true
!include "${BUILD_DEFINES}"
!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"

; The short name of the product: the wizard's pages and the Start-menu group.
!define SHORT "МИРЕЛ"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\orvex"
!define MENU "$SMPROGRAMS\${SHORT}"
; In the all-users context this is the Public Documents folder, which every operator may write:
; orvex reads controller.xml and writes its recordings in its current directory, and Program
; Files is not writable.
!define DATA "$DOCUMENTS\orvex"

Name "${SHORT}"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
!if "${ARCH}" == "x86_64"
  Target amd64-unicode
  InstallDir "$PROGRAMFILES64\orvex"
!else
  InstallDir "$PROGRAMFILES\orvex"
!endif
; An upgrade goes where the installed version is.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\doc\guide.html"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "Открыть руководство оператора"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Russian"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_RUSSIAN} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_RUSSIAN} "CompanyName" "${COMPANY}"
VIAddVersionKey /LANG=${LANG_RUSSIAN} "LegalCopyright" "${COPYRIGHT}"
VIAddVersionKey /LANG=${LANG_RUSSIAN} "FileDescription" "Установка: ${PRODUCT}"
VIAddVersionKey /LANG=${LANG_RUSSIAN} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_RUSSIAN} "ProductVersion" "${VERSION}"

!macro AllUsers
  SetShellVarContext all
  !if "${ARCH}" == "x86_64"
    SetRegView 64
  !endif
!macroend

Function .onInit
  !insertmacro AllUsers
FunctionEnd

Function un.onInit
  !insertmacro AllUsers
FunctionEnd

; A file that cannot be written is never skipped: the setup then fails instead of reporting old
; programs as installed.
AllowSkipFiles off

; Sets $R1 to the name of the first program file in $INSTDIR that cannot be opened for writing
; (a running program holds its .exe, orvex also norvctrl.dll), or to "" when all can be replaced.
!macro DefineFindBusyProgram UN
Function ${UN}FindBusyProgram
  StrCpy $R1 ""
  !insertmacro BusyProgram orvex.exe
  !insertmacro BusyProgram busterm.exe
  !insertmacro BusyProgram radterm.exe
  !insertmacro BusyProgram devsim.exe
  !insertmacro BusyProgram norvctrl.dll
FunctionEnd
!macroend
!macro BusyProgram FILE
  ${If} $R1 == ""
  ${AndIf} ${FileExists} "$INSTDIR\${FILE}"
    System::Call 'kernel32::CreateFileW(w "$INSTDIR\${FILE}", i 0x40000000, i 0, p 0, i 3, i 0, p 0) p.r0'
    ${If} $0 = -1
      StrCpy $R1 "${FILE}"
    ${Else}
      System::Call 'kernel32::CloseHandle(p r0)'
    ${EndIf}
  ${EndIf}
!macroend
!insertmacro DefineFindBusyProgram ""
!insertmacro DefineFindBusyProgram "un."

; Asks the operator to close a running program until none runs; "Отмена" (and a silent run, at
; once) ends with nothing changed and a non-zero code.
!macro DefineCloseRunningPrograms UN STOPS
Function ${UN}CloseRunningPrograms
  retry:
    Call ${UN}FindBusyProgram
    StrCmp $R1 "" 0 +2
      Return
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Файл $R1 в папке $INSTDIR занят: запущена одна из программ — orvex, busterm, radterm или devsim.$\r$\n$\r$\nЗакройте её и нажмите «Повтор». «Отмена» прерывает ${STOPS}, ничего не меняя." /SD IDCANCEL IDRETRY retry
  DetailPrint "Файл $R1 занят: ничего не изменено."
  Abort
FunctionEnd
!macroend
!insertmacro DefineCloseRunningPrograms "" "установку"
!insertmacro DefineCloseRunningPrograms "un." "удаление"

Section
  Call CloseRunningPrograms
  SetOutPath "$INSTDIR"
  File "${BIN}/orvex.exe"
  File "${BIN}/norvctrl.dll"
  File "${BIN}/busterm.exe"
  File "${BIN}/radterm.exe"
  File "${BIN}/devsim.exe"
  File "${GUIDE}/notices.txt"
  SetOutPath "$INSTDIR\doc"
  File "${GUIDE}/guide.html"
  File "${GUIDE}/notices.txt"
  SetOutPath "$INSTDIR\doc\images"
  File "${GUIDE}/images/*.png"
  SetOutPath "$INSTDIR\examples"
  File "${EXAMPLES}/controller.xml"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ClearErrors
  RegDLL "$INSTDIR\norvctrl.dll"
  ${If} ${Errors}
    SetErrorLevel 2
    MessageBox MB_ICONEXCLAMATION "Не удалось зарегистрировать элемент «График» (norvctrl.dll): график в программе останется пустым. Запустите установку ещё раз от имени администратора." /SD IDOK
  ${EndIf}

  ; The operator's own files stay as they are: the example only where none exists yet.
  CreateDirectory "${DATA}"
  SetOutPath "${DATA}"
  SetOverwrite off
  File "${EXAMPLES}/controller.xml"
  SetOverwrite on
  ; Users (by SID, whatever the language of Windows) may change what the setup put there.
  nsExec::Exec '"$SYSDIR\icacls.exe" "${DATA}" /grant *S-1-5-32-545:(OI)(CI)M'
  Pop $0

  ; The programs start in the data folder (the working directory of the shortcuts).
  CreateDirectory "${MENU}"
  CreateShortcut "${MENU}\${SHORT}.lnk" "$INSTDIR\orvex.exe"
  CreateShortcut "${MENU}\Терминал RS485 (busterm).lnk" "$INSTDIR\busterm.exe"
  CreateShortcut "${MENU}\Терминал радиомодема (radterm).lnk" "$INSTDIR\radterm.exe"
  CreateShortcut "${MENU}\Папка данных.lnk" "${DATA}"
  CreateShortcut "${MENU}\Руководство оператора.lnk" "$INSTDIR\doc\guide.html"
  CreateShortcut "${MENU}\Удалить ${SHORT}.lnk" "$INSTDIR\uninstall.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${COMPANY}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\orvex.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  Call un.CloseRunningPrograms
  UnRegDLL "$INSTDIR\norvctrl.dll"
  ClearErrors
  Delete "$INSTDIR\orvex.exe"
  Delete "$INSTDIR\norvctrl.dll"
  Delete "$INSTDIR\busterm.exe"
  Delete "$INSTDIR\radterm.exe"
  Delete "$INSTDIR\devsim.exe"
  ; A program started meanwhile keeps its file: the entry and the uninstaller stay to remove it.
  ${If} ${Errors}
    MessageBox MB_ICONSTOP "Не удалось удалить программы из папки $INSTDIR. Закройте их и удалите программу ещё раз." /SD IDOK
    Abort
  ${EndIf}
  Delete "$INSTDIR\notices.txt"
  RMDir /r "$INSTDIR\doc"
  Delete "$INSTDIR\examples\controller.xml"
  RMDir "$INSTDIR\examples"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  RMDir /r "${MENU}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ; The data folder is the operator's: configuration and recordings stay.
SectionEnd
