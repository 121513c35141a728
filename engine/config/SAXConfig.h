#pragma once
#include "ComPtr.h"
#include "Controller.h"
#include "SAXContentHandlerImpl.h"
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// Loads controller.xml through the MSXML SAX reader and hands what it built to the engine.
// A file the engine could not run (an unknown device, a port no device can reach, ...) is
// refused as a whole: Parse fails and ErrorText() names the element, attribute and value.
// A file whose markup the reader should not see (a document type declaration, an over-long
// name) is refused before the reader reads it (see MarkupScreen.h).
class CSAXConfig : public ISAXContentHandlerImpl {
public:
    CSAXConfig();

    HRESULT Parse(const wchar_t* path);
    void Build(CController& controller);

    HRESULT CreationResult() const { return m_created; }
    const std::wstring& ErrorText() const { return m_error; }

    HRESULT WINAPI startElement(const wchar_t* uri, int uriLength, const wchar_t* localName, int localLength,
                                const wchar_t* qName, int qLength, ISAXAttributes* attributes) override;
    HRESULT WINAPI endElement(const wchar_t* uri, int uriLength, const wchar_t* localName, int localLength,
                              const wchar_t* qName, int qLength) override;
    HRESULT WINAPI characters(const wchar_t* chars, int length) override;

    // The result code of a refused file (its low 16 bits: "The data is invalid").
    static constexpr HRESULT kRefused = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_WIN32, ERROR_INVALID_DATA);

private:
    // Refuses a document type declaration that the reader reports: one in an encoding the check
    // before parsing does not read (some readers report none and skip it).
    class CDoctypeRefusal : public ISAXLexicalHandlerImpl {
    public:
        explicit CDoctypeRefusal(CSAXConfig& config) : m_config(config) {}
        HRESULT WINAPI startDTD(const wchar_t*, int, const wchar_t*, int, const wchar_t*, int) override;

    private:
        CSAXConfig& m_config;
    };

    using Attributes = std::map<std::wstring, std::wstring>;

    // An item waiting for the end of its device, with its channel number as the file writes it
    // and the first value the file gives it.
    struct CPendingItem {
        std::unique_ptr<CVariable> variable;
        std::wstring index;
        std::optional<float> first;
    };

    // A port as devices name it: its transport and the protocol it speaks (a pipe without a
    // protocol attribute carries either).
    struct CPortEntry {
        CTransport* transport;
        std::wstring id;
        std::wstring protocol;
        bool eitherProtocol;
    };

    HRESULT EndPort();
    HRESULT EndItem();
    HRESULT EndDevice();
    HRESULT EndExpression();
    HRESULT EndVariable();
    HRESULT RefuseProtocol(const CDevice& device, const std::wstring& portName, const CPortEntry& port);
    HRESULT CheckNames();
    bool ReadTypeAndText(const Attributes& attributes, const wchar_t* element, CVariable& variable);
    bool ReadFirstValue(const Attributes& attributes, const wchar_t* element, const std::wstring& name,
                        std::optional<float>& first);
    HRESULT RefuseFile(const std::wstring& message);  // the first refusal is the one reported
    HRESULT Refuse(const wchar_t* element, const wchar_t* attribute, const std::wstring& value,
                   const wchar_t* reason);
    bool Require(const Attributes& attributes, const wchar_t* element, std::initializer_list<const wchar_t*> names);
    static std::wstring Get(const Attributes& attributes, const wchar_t* name);
    static int ValueTypeOf(const std::wstring& type);

    HRESULT m_created;
    CDoctypeRefusal m_doctype{*this};  // outlives the reader, which holds it
    CComPtr<ISAXXMLReader> m_reader;
    std::wstring m_error;

    CInstallation m_built;
    std::map<std::wstring, CPortEntry> m_ports;
    std::vector<CPendingItem> m_pendingItems;
    std::map<std::wstring, std::wstring> m_expressions;
    Attributes m_attributes;
    Attributes m_deviceAttributes;
    std::wstring m_text;
};
