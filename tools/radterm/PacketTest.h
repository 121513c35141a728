#pragma once

class CModemPort;

// The master/slave link test in packet mode; the port is back in flat mode afterwards.
// Ctrl+C (or Ctrl+Break) gives up a wait that the other side never answers.
void RunPacketTest(CModemPort& port, bool master);
