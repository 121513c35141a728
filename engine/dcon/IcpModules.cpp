#include "IcpModules.h"

namespace {
const CIcpModuleRow kModules[] = {
    {L"ICP7041D", 0, 16, 0, TagBoolean, IcpRead::DigitalInverted, 0, false, 0, L"ICP CON 7000 дискретный ввод 16"},
    {L"ICP7042D", 1, 0, 13, TagBoolean, IcpRead::None, 4, true, 0, L"ICP CON 7000 дискретный вывод 13"},
    {L"ICP7044D", 2, 4, 8, TagBoolean, IcpRead::DigitalInverted, 2, true, 0, L"ICP CON 7000 дискретный ввод-вывод 4/8"},
    {L"ICP7045D", 3, 0, 16, TagBoolean, IcpRead::None, 4, true, 0, L"ICP CON 7000 дискретный вывод 16"},
    {L"ICP7052D", 4, 8, 0, TagInteger, IcpRead::Counter, 0, true, 8, L"ICP CON 7000 дискретный ввод/счетчик 8"},
    {L"ICP7055D", 5, 8, 8, TagBoolean, IcpRead::Digital, 2, true, 0, L"ICP CON 7000 дискретный ввод-вывод 8/8"},
    {L"ICP7017", 6, 8, 0, TagFloat, IcpRead::Analog, 0, false, 0, L"ICP CON 7000 аналоговый ввод 8"},
    {L"ICP7018", 7, 8, 0, TagFloat, IcpRead::Analog, 0, false, 0, L"ICP CON 7000 аналоговый ввод 8"},
    {L"ICP7033", 8, 3, 0, TagFloat, IcpRead::Analog, 0, false, 0, L"ICP CON 7000 термопарный ввод 3"},
};
}  // namespace

const CIcpModuleRow* FindIcpModule(const std::wstring& keyword)
{
    for (const CIcpModuleRow& row : kModules)
        if (keyword == row.keyword)
            return &row;
    return nullptr;
}

CIcpModule::CIcpModule(const CIcpModuleRow& row)
    : CDevice(row.kind, row.keyword, row.description, row.inputs, row.outputs, row.initialTag), m_row(row)
{
}

bool CIcpModule::TestLink() { return TestLinkCommands(m_row.resetsStatus, m_row.counters); }

bool CIcpModule::ReadInputs()
{
    switch (m_row.read) {
    case IcpRead::Digital: return ReadDigital(false);
    case IcpRead::DigitalInverted: return ReadDigital(true);
    case IcpRead::Counter: return ReadCounter();
    case IcpRead::Analog: return ReadAnalog();
    case IcpRead::None: break;
    }
    return true;
}

bool CIcpModule::WriteOutputs() { return m_row.outputDigits == 0 || WriteDigital(m_row.outputDigits); }

bool CIcpModule::ResetStatus() { return ResetStatusCommand(); }
