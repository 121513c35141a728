#include "ConfigFile.h"
#include "SAXConfig.h"
#include <cstdio>

CConfigFile::CConfigFile(const std::string& utf8Xml)
{
    wchar_t folder[MAX_PATH], path[MAX_PATH];
    ::GetTempPathW(MAX_PATH, folder);
    ::GetTempFileNameW(folder, L"cfg", 0, path);
    m_path = path;
    if (FILE* out = _wfopen(m_path.c_str(), L"wb")) {
        fwrite(utf8Xml.data(), 1, utf8Xml.size(), out);
        fclose(out);
    }
}

CConfigFile::~CConfigFile() { ::DeleteFileW(m_path.c_str()); }

std::string CConfigFile::Read() const
{
    std::string text;
    if (FILE* in = _wfopen(m_path.c_str(), L"rb")) {
        char buffer[4096];
        for (size_t n; (n = fread(buffer, 1, sizeof buffer, in)) > 0;)
            text.append(buffer, n);
        fclose(in);
    }
    return text;
}

HRESULT LoadConfig(const std::string& utf8Xml, CController& controller, std::wstring* errorText)
{
    CConfigFile file(utf8Xml);
    CSAXConfig loader;
    HRESULT hr = loader.Parse(file.Path().c_str());
    if (errorText)
        *errorText = loader.ErrorText();
    if (hr == S_OK)
        loader.Build(controller);
    return hr;
}
