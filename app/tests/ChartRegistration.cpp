#include "ChartRegistration.h"
#include "WindowProbe.h"
#include <objbase.h>

namespace {
int RunRegsvr32(const std::wstring& options)
{
    CStartedProcess regsvr32;
    if (!regsvr32.Start(L"regsvr32.exe /s " + options + L"\"" + ProgramFolder() + L"\\norvctrl.dll\""))
        return -1;
    return regsvr32.Wait(120000);
}

bool ChartRegistered()
{
    CLSID clsid;
    return SUCCEEDED(::CLSIDFromProgID(L"norvctrl2.ChartView.1", &clsid));
}
}  // namespace

CChartRegistration::CChartRegistration() : m_wasRegistered(ChartRegistered()), m_result(RunRegsvr32(L"")) {}

CChartRegistration::~CChartRegistration()
{
    if (!m_wasRegistered)
        RunRegsvr32(L"/u ");
}
