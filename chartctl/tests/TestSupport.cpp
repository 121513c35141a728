#include "TestSupport.h"
#include "GdiplusSession.h"
#include "Handle.h"

int RunProgram(const std::wstring& commandLine, DWORD timeoutMs, std::string* output)
{
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (output && !::CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        return -1;
    CHandle reader(readEnd), writer(writeEnd);
    if (reader.IsValid())
        ::SetHandleInformation(reader, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    if (output) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = writer;
        startup.hStdError = writer;
        startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    }
    PROCESS_INFORMATION process{};
    std::wstring line = commandLine;
    if (!::CreateProcessW(nullptr, &line[0], nullptr, nullptr, output != nullptr, CREATE_NO_WINDOW, nullptr, nullptr,
                          &startup, &process))
        return -1;
    CHandle processHandle(process.hProcess), thread(process.hThread);
    writer.Close();
    if (output) {
        char buffer[4096];
        DWORD read = 0;
        while (::ReadFile(reader, buffer, sizeof(buffer), &read, nullptr) && read > 0)
            output->append(buffer, read);
    }
    if (::WaitForSingleObject(processHandle, timeoutMs) != WAIT_OBJECT_0)
        return -1;
    DWORD code = 0;
    ::GetExitCodeProcess(processHandle, &code);
    return static_cast<int>(code);
}

int RunRegsvr32(bool unregister)
{
    wchar_t folder[MAX_PATH];
    ::GetCurrentDirectoryW(MAX_PATH, folder);
    std::wstring line = L"regsvr32.exe /s ";
    if (unregister)
        line += L"/u ";
    return RunProgram(line + L"\"" + folder + L"\\norvctrl.dll\"", 120000);
}

void PumpMessages(DWORD milliseconds)
{
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < milliseconds) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
}

CPixelCanvas::CPixelCanvas(int width, int height)
    : m_surface(width, height), m_dc(nullptr), m_selected(m_dc, m_surface.Bitmap())
{
}

COLORREF CPixelCanvas::Pixel(int x, int y) const
{
    ::GdiFlush();
    const DWORD bgra = m_surface.Pixels()[y * m_surface.Width() + x];
    return RGB((bgra >> 16) & 0xFF, (bgra >> 8) & 0xFF, bgra & 0xFF);
}

bool CPixelCanvas::SameAs(const CPixelCanvas& other) const
{
    return m_surface.SameIn(other.m_surface, RECT{0, 0, m_surface.Width(), m_surface.Height()});
}

bool CPixelCanvas::SavePng(const std::wstring& path) const
{
    CGdiplusSession gdiplus;
    UINT count = 0, size = 0;
    Gdiplus::GetImageEncodersSize(&count, &size);
    std::vector<BYTE> buffer(size);
    auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (size == 0 || Gdiplus::GetImageEncoders(count, size, encoders) != Gdiplus::Ok)
        return false;
    for (UINT i = 0; i < count; ++i) {
        if (std::wstring(encoders[i].MimeType) == L"image/png") {
            ::GdiFlush();
            const int width = m_surface.Width();
            Gdiplus::Bitmap image(width, m_surface.Height(), width * 4, PixelFormat32bppRGB,
                                  reinterpret_cast<BYTE*>(const_cast<DWORD*>(m_surface.Pixels())));
            return image.Save(path.c_str(), &encoders[i].Clsid, nullptr) == Gdiplus::Ok;
        }
    }
    return false;
}
