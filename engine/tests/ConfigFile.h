#pragma once
#include "ComPtr.h"
#include "Controller.h"
#include <string>

// A controller.xml written to a temporary folder for one test, removed afterwards.
class CConfigFile {
public:
    explicit CConfigFile(const std::string& utf8Xml);
    ~CConfigFile();
    const std::wstring& Path() const { return m_path; }
    std::string Read() const;

private:
    std::wstring m_path;
};

// Loads a configuration text into a controller; returns Parse's result and the loader's message.
HRESULT LoadConfig(const std::string& utf8Xml, CController& controller, std::wstring* errorText = nullptr);
