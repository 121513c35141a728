#include "SimConfig.h"
#include "ComPtr.h"
#include <msxml2.h>

namespace {
const CLSID kClsidDOMDocument = {0xF6D90F11, 0x9C73, 0x11D3, {0xB3, 0x2E, 0x00, 0xC0, 0x4F, 0x99, 0x0B, 0xB4}};
const IID kIidIXMLDOMDocument = {0x2933BF81, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
const IID kIidIXMLDOMElement = {0x2933BF86, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};

std::wstring Attribute(IXMLDOMElement* element, const wchar_t* name)
{
    CVariant value;
    CBstr attribute(name);
    if (element->getAttribute(attribute, &value) == S_OK && value.vt == VT_BSTR)
        return value.bstrVal;
    return L"";
}

std::vector<CComPtr<IXMLDOMElement>> Elements(IXMLDOMDocument* document, const wchar_t* query)
{
    std::vector<CComPtr<IXMLDOMElement>> found;
    CComPtr<IXMLDOMNodeList> nodes;
    CBstr path(query);
    long length = 0;
    if (FAILED(document->selectNodes(path, &nodes)) || !nodes || FAILED(nodes->get_length(&length)))
        return found;
    for (long i = 0; i < length; ++i) {
        CComPtr<IXMLDOMNode> node;
        CComPtr<IXMLDOMElement> element;
        if (SUCCEEDED(nodes->get_item(i, &node)) && node &&
            SUCCEEDED(node->QueryInterface(kIidIXMLDOMElement, reinterpret_cast<void**>(&element))) && element)
            found.push_back(element);
    }
    return found;
}

// The last port of that name counts, as in the engine's loader.
CComPtr<IXMLDOMElement> FindPort(const std::vector<CComPtr<IXMLDOMElement>>& ports, const std::wstring& name)
{
    CComPtr<IXMLDOMElement> found;
    for (const auto& port : ports)
        if (Attribute(port, L"name") == name)
            found = port;
    return found;
}

std::vector<std::wstring> SplitSegments(const std::wstring& text)
{
    std::vector<std::wstring> names;
    size_t start = 0;
    for (size_t plus; (plus = text.find(L'+', start)) != std::wstring::npos; start = plus + 1)
        names.push_back(text.substr(start, plus - start));
    names.push_back(text.substr(start));
    return names;
}

bool LoadDocument(const std::wstring& file, CComPtr<IXMLDOMDocument>& document)
{
    if (FAILED(::CoCreateInstance(kClsidDOMDocument, nullptr, CLSCTX_ALL, kIidIXMLDOMDocument,
                                  reinterpret_cast<void**>(&document))) || !document)
        return false;
    document->put_async(VARIANT_FALSE);
    CVariant path;
    path.vt = VT_BSTR;
    path.bstrVal = ::SysAllocString(file.c_str());
    VARIANT_BOOL loaded = VARIANT_FALSE;
    return SUCCEEDED(document->load(path, &loaded)) && loaded == VARIANT_TRUE;
}
}  // namespace

bool LoadSegmentConfig(const std::wstring& file, const std::wstring& segments, SimSegmentConfig& config,
                       std::wstring& error)
{
    CComPtr<IXMLDOMDocument> document;
    if (!LoadDocument(file, document)) {
        error = L"cannot read " + file;
        return false;
    }
    std::vector<CComPtr<IXMLDOMElement>> ports = Elements(document, L"//port");
    std::vector<CComPtr<IXMLDOMElement>> devices = Elements(document, L"//device");
    for (const std::wstring& segment : SplitSegments(segments)) {
        CComPtr<IXMLDOMElement> port = FindPort(ports, segment);
        if (!port) {
            error = L"no port named " + segment + L" in " + file;
            return false;
        }
        std::wstring settings = Attribute(port, L"dcb");
        bool lrc = Attribute(port, L"lrc") == L"on";
        if (config.portId.empty()) {
            config.portId = Attribute(port, L"id");
            config.settings = settings;
            config.dcon = Attribute(port, L"protocol") == L"DCON";
            config.lrc = lrc;
        }
        for (auto& device : devices)
            if (Attribute(device, L"transport") == segment)
                config.devices.push_back({Attribute(device, L"name"), Attribute(device, L"addres"),
                                          unsigned(_wtoi(settings.c_str())), lrc});
    }
    return true;
}
