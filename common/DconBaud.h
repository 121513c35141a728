#pragma once

// The line speeds of the ICP CON modules and the codes their configuration ("$AA2", "%AA...")
// gives them: 03 = 1200 baud up to 0A = 115200 baud.
const unsigned kDconSpeeds[] = {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};

// The code of a speed, or -1 for a speed the modules do not have.
int DconBaudCode(unsigned baud);
// The speed of a code, or 0 for a code that names none.
unsigned DconBaudOfCode(unsigned code);
