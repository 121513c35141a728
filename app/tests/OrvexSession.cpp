#include "OrvexSession.h"
#include "DialogProbe.h"
#include <cstdio>
#include <string>

const wchar_t kMainCaption[] = L"Переносной измерительный комплекс «МИРЕЛ»";
const wchar_t kLinkReportCaption[] = L"МИРЕЛ. Проверка связи с модулями сбора данных";

namespace {
std::wstring ConfigurationPath(const std::wstring& folder) { return folder + L"\\controller.xml"; }
}  // namespace

COrvexSession::COrvexSession(const std::string& utf8Configuration)
{
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    // A fresh folder per run; several test programs may make theirs at the same time.
    static unsigned serial = 0;
    do
        m_folder = std::wstring(temp) + L"orvex-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                   std::to_wstring(++serial) + L"-" + std::to_wstring(::GetTickCount());
    while (!::CreateDirectoryW(m_folder.c_str(), nullptr) && ::GetLastError() == ERROR_ALREADY_EXISTS);
    if (utf8Configuration.empty())
        return;
    if (FILE* out = _wfopen(ConfigurationPath(m_folder).c_str(), L"wb")) {
        fwrite(utf8Configuration.data(), 1, utf8Configuration.size(), out);
        fclose(out);
    }
}

COrvexSession::~COrvexSession()
{
    if (m_process && m_process->Wait(0) == -1) {
        ::TerminateProcess(m_process->info.hProcess, 1);
        m_process->Wait(10000);
    }
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW((m_folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do
            ::DeleteFileW((m_folder + L"\\" + found.cFileName).c_str());
        while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }
    ::RemoveDirectoryW(m_folder.c_str());
}

bool COrvexSession::Start()
{
    m_process = std::make_unique<CStartedProcess>();
    return m_process->Start(L"\"" + ProgramFolder() + L"\\orvex.exe\"", m_folder);
}

HWND COrvexSession::MainWindow(DWORD milliseconds) { return WaitForDialog(kMainCaption, milliseconds); }

HWND COrvexSession::WaitForDialog(const wchar_t* caption, DWORD milliseconds)
{
    return WaitForWindow(m_process->info.dwProcessId, L"#32770", caption, milliseconds);
}

std::string COrvexSession::ReadConfiguration() const
{
    std::string text;
    if (FILE* in = _wfopen(ConfigurationPath(m_folder).c_str(), L"rb")) {
        char buffer[4096];
        for (size_t n; (n = fread(buffer, 1, sizeof buffer, in)) > 0;)
            text.append(buffer, n);
        fclose(in);
    }
    return text;
}

std::wstring COrvexSession::TakeMessageBox(const wchar_t* caption, DWORD milliseconds, int button)
{
    HWND box = WaitForDialog(caption, milliseconds);
    if (!box)
        return L"<no box>";
    std::wstring text = MessageBoxText(box);
    ::PostMessageW(box, WM_COMMAND, button, 0);
    WaitUntil([&] { return !::IsWindow(box); }, 10000);
    return text;
}
