#include "ModbusDevices.h"

CDeviceIVA8::CDeviceIVA8() : CDevice(12, L"IVA8", L"Гигрометр ИВА-8", 1, 0, TagBoolean) {}

CDeviceRRG12::CDeviceRRG12() : CDevice(13, L"RRG12", L"Измеритель-регулятор расхода газа", 2, 1, TagBoolean) {}

// Exchanges arrive with the transports; until then every operation reports no link.
bool CDeviceIVA8::TestLink() { return false; }
bool CDeviceIVA8::ReadInputs() { return false; }
bool CDeviceIVA8::WriteOutputs() { return false; }
bool CDeviceIVA8::ResetStatus() { return false; }
bool CDeviceRRG12::TestLink() { return false; }
bool CDeviceRRG12::ReadInputs() { return false; }
bool CDeviceRRG12::WriteOutputs() { return false; }
bool CDeviceRRG12::ResetStatus() { return false; }
