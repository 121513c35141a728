#pragma once
#include "WindowProbe.h"
#include <windows.h>
#include <memory>
#include <string>

// One run of orvex.exe in a folder of its own that holds the given controller.xml (none when
// the text is empty). The folder is removed afterwards.
class COrvexSession {
public:
    explicit COrvexSession(const std::string& utf8Configuration);
    ~COrvexSession();

    // Starts orvex in the folder; again after it has ended, on the file as that run left it.
    bool Start();
    // The main dialog, waiting for it.
    HWND MainWindow(DWORD milliseconds = 30000);
    // A top-level window of orvex with this caption (a message box, the link dialog).
    HWND WaitForDialog(const wchar_t* caption, DWORD milliseconds = 30000);
    // Reads the text of the message box with this caption, closes it with the button and returns
    // the text ("<no box>" when none came).
    std::wstring TakeMessageBox(const wchar_t* caption, DWORD milliseconds = 30000, int button = IDOK);
    int Wait(DWORD milliseconds) { return m_process->Wait(milliseconds); }
    HANDLE Process() const { return m_process ? m_process->info.hProcess : nullptr; }
    DWORD ProcessId() const { return m_process ? m_process->info.dwProcessId : 0; }

    const std::wstring& Folder() const { return m_folder; }
    std::string ReadConfiguration() const;

private:
    std::wstring m_folder;
    std::unique_ptr<CStartedProcess> m_process;
};

extern const wchar_t kMainCaption[];
extern const wchar_t kLinkReportCaption[];
