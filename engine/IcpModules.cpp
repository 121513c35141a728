#include "IcpModules.h"

CDeviceICP7041D::CDeviceICP7041D() : CDevice(0, L"ICP7041D", L"ICP CON 7000 дискретный ввод 16", 16, 0, TagBoolean) {}
CDeviceICP7042D::CDeviceICP7042D() : CDevice(1, L"ICP7042D", L"ICP CON 7000 дискретный вывод 13", 0, 13, TagBoolean) {}
CDeviceICP7044D::CDeviceICP7044D() : CDevice(2, L"ICP7044D", L"ICP CON 7000 дискретный ввод-вывод 4/8", 4, 8, TagBoolean) {}
CDeviceICP7045D::CDeviceICP7045D() : CDevice(3, L"ICP7045D", L"ICP CON 7000 дискретный вывод 16", 0, 16, TagBoolean) {}
CDeviceICP7052D::CDeviceICP7052D() : CDevice(4, L"ICP7052D", L"ICP CON 7000 дискретный ввод/счетчик 8", 8, 0, TagInteger) {}
CDeviceICP7055D::CDeviceICP7055D() : CDevice(5, L"ICP7055D", L"ICP CON 7000 дискретный ввод-вывод 8/8", 8, 8, TagBoolean) {}
CDeviceICP7017::CDeviceICP7017() : CDevice(6, L"ICP7017", L"ICP CON 7000 аналоговый ввод 8", 8, 0, TagFloat) {}
CDeviceICP7018::CDeviceICP7018() : CDevice(7, L"ICP7018", L"ICP CON 7000 аналоговый ввод 8", 8, 0, TagFloat) {}
CDeviceICP7033::CDeviceICP7033() : CDevice(8, L"ICP7033", L"ICP CON 7000 термопарный ввод 3", 3, 0, TagFloat) {}

// Exchanges arrive with the transports; until then every operation reports no link.
bool CDeviceICP7041D::TestLink() { return false; }
bool CDeviceICP7041D::ReadInputs() { return false; }
bool CDeviceICP7041D::WriteOutputs() { return false; }
bool CDeviceICP7041D::ResetStatus() { return false; }
bool CDeviceICP7042D::TestLink() { return false; }
bool CDeviceICP7042D::ReadInputs() { return false; }
bool CDeviceICP7042D::WriteOutputs() { return false; }
bool CDeviceICP7042D::ResetStatus() { return false; }
bool CDeviceICP7044D::TestLink() { return false; }
bool CDeviceICP7044D::ReadInputs() { return false; }
bool CDeviceICP7044D::WriteOutputs() { return false; }
bool CDeviceICP7044D::ResetStatus() { return false; }
bool CDeviceICP7045D::TestLink() { return false; }
bool CDeviceICP7045D::ReadInputs() { return false; }
bool CDeviceICP7045D::WriteOutputs() { return false; }
bool CDeviceICP7045D::ResetStatus() { return false; }
bool CDeviceICP7052D::TestLink() { return false; }
bool CDeviceICP7052D::ReadInputs() { return false; }
bool CDeviceICP7052D::WriteOutputs() { return false; }
bool CDeviceICP7052D::ResetStatus() { return false; }
bool CDeviceICP7055D::TestLink() { return false; }
bool CDeviceICP7055D::ReadInputs() { return false; }
bool CDeviceICP7055D::WriteOutputs() { return false; }
bool CDeviceICP7055D::ResetStatus() { return false; }
bool CDeviceICP7017::TestLink() { return false; }
bool CDeviceICP7017::ReadInputs() { return false; }
bool CDeviceICP7017::WriteOutputs() { return false; }
bool CDeviceICP7017::ResetStatus() { return false; }
bool CDeviceICP7018::TestLink() { return false; }
bool CDeviceICP7018::ReadInputs() { return false; }
bool CDeviceICP7018::WriteOutputs() { return false; }
bool CDeviceICP7018::ResetStatus() { return false; }
bool CDeviceICP7033::TestLink() { return false; }
bool CDeviceICP7033::ReadInputs() { return false; }
bool CDeviceICP7033::WriteOutputs() { return false; }
bool CDeviceICP7033::ResetStatus() { return false; }
