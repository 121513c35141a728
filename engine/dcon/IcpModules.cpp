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

// A phase a module has no channels for succeeds without an exchange.
bool CDeviceICP7041D::TestLink() { return TestLinkCommands(false); }
bool CDeviceICP7041D::ReadInputs() { return ReadDigital(true); }
bool CDeviceICP7041D::WriteOutputs() { return true; }
bool CDeviceICP7041D::ResetStatus() { return ResetStatusCommand(); }

bool CDeviceICP7042D::TestLink() { return TestLinkCommands(true); }
bool CDeviceICP7042D::ReadInputs() { return true; }
bool CDeviceICP7042D::WriteOutputs() { return WriteDigital(4); }
bool CDeviceICP7042D::ResetStatus() { return ResetStatusCommand(); }

bool CDeviceICP7044D::TestLink() { return TestLinkCommands(true); }
bool CDeviceICP7044D::ReadInputs() { return ReadDigital(true); }
bool CDeviceICP7044D::WriteOutputs() { return WriteDigital(2); }
bool CDeviceICP7044D::ResetStatus() { return ResetStatusCommand(); }

bool CDeviceICP7045D::TestLink() { return TestLinkCommands(true); }
bool CDeviceICP7045D::ReadInputs() { return true; }
bool CDeviceICP7045D::WriteOutputs() { return WriteDigital(4); }
bool CDeviceICP7045D::ResetStatus() { return ResetStatusCommand(); }

bool CDeviceICP7052D::TestLink() { return TestLinkCommands(true, 8); }
bool CDeviceICP7052D::ReadInputs() { return ReadCounter(); }
bool CDeviceICP7052D::WriteOutputs() { return true; }
bool CDeviceICP7052D::ResetStatus() { return ResetStatusCommand(); }

bool CDeviceICP7055D::TestLink() { return TestLinkCommands(true); }
bool CDeviceICP7055D::ReadInputs() { return ReadDigital(false); }
bool CDeviceICP7055D::WriteOutputs() { return WriteDigital(2); }
bool CDeviceICP7055D::ResetStatus() { return ResetStatusCommand(); }

bool CDeviceICP7017::TestLink() { return TestLinkCommands(false); }
bool CDeviceICP7017::ReadInputs() { return ReadAnalog(); }
bool CDeviceICP7017::WriteOutputs() { return true; }
bool CDeviceICP7017::ResetStatus() { return ResetStatusCommand(); }

bool CDeviceICP7018::TestLink() { return TestLinkCommands(false); }
bool CDeviceICP7018::ReadInputs() { return ReadAnalog(); }
bool CDeviceICP7018::WriteOutputs() { return true; }
bool CDeviceICP7018::ResetStatus() { return ResetStatusCommand(); }

bool CDeviceICP7033::TestLink() { return TestLinkCommands(false); }
bool CDeviceICP7033::ReadInputs() { return ReadAnalog(); }
bool CDeviceICP7033::WriteOutputs() { return true; }
bool CDeviceICP7033::ResetStatus() { return ResetStatusCommand(); }
