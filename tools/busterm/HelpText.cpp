#include "HelpText.h"

const wchar_t kBannerText[] = L"Norvane 1.0 KPM RS485 Module configurator.\n";

const wchar_t kHelpText[] =
    L"Terminal mode run USO KPM 485:\n"
    L"CRC ON ............. crc mode ON\n"
    L"CRC OFF ............ crc mode OFF\n"
    L"CP1 ................ change COMx to COM1\n"
    L"CS9600 ............. change speed to 9600\n"
    L"DELAY 20 ........... chande delay to 20 ms\n"
    L"PURGE .............. discards all characters from the output or input buffer\n"
    L"SETDTR ............. sends the DTR (data-terminal-ready) signal\n"
    L"CLRDTR ............. clears the DTR (data-terminal-ready) signal\n"
    L"SETRTS ............. sends the RTS (request-to-send) signal\n"
    L"CLRRTS ............. clears the RTS (request-to-send) signal\n"
    L"RESETDEV ........... Reset device if possible\n"
    L"SETBREAK ........... Set the device break line\n"
    L"CLRBREAK ........... Clear the device break line\n"
    L"REPEAT 50 command .. repeat 50 times command\n"
    L"SCAN ............... find the modules on the line at its speed\n"
    L"SCAN ALL 10 1F ..... at every speed, only addresses 10 to 1F\n"
    L"ERRORS ............. show io errors\n"
    L"HELP ............... help\n"
    L"EXIT ............... exit\n";

// Printed once at start-up as it stands, whatever port actually opened.
const wchar_t kPortLine[] = L"COM2: DCB=9600,n,8,1 RS485\n";
