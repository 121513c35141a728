#include "ComPtr.h"
#include "SaveAttributes.h"
#include <msxml2.h>
#include <cwchar>

namespace {
const CLSID kClsidDOMDocument = {0xF6D90F11, 0x9C73, 0x11D3, {0xB3, 0x2E, 0x00, 0xC0, 0x4F, 0x99, 0x0B, 0xB4}};
const IID kIidIXMLDOMDocument = {0x2933BF81, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
const IID kIidIXMLDOMElement = {0x2933BF86, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};

// A COM failure: the system's text for the result, and its low 16 bits as the code.
bool ComError(HRESULT hr, std::wstring& errorText, int& errorCode)
{
    wchar_t* text = nullptr;
    ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, DWORD(hr), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    wchar_t fallback[32];
    _snwprintf(fallback, 32, L"Ошибка COM 0x%08lX", static_cast<unsigned long>(hr));
    errorText = text ? text : fallback;
    if (text)
        ::LocalFree(text);
    errorCode = int(hr & 0xFFFF);
    return false;
}

bool PlainError(const std::wstring& text, std::wstring& errorText, int& errorCode)
{
    errorText = text;
    errorCode = 0;
    return false;
}

CComPtr<IXMLDOMElement> AsElement(IXMLDOMNodeList* nodes, long i)
{
    CComPtr<IXMLDOMNode> node;
    CComPtr<IXMLDOMElement> element;
    if (SUCCEEDED(nodes->get_item(i, &node)) && node)
        node->QueryInterface(kIidIXMLDOMElement, reinterpret_cast<void**>(&element));
    return element;
}

// An element whose key the rewrite does not name keeps its attribute: a port left out keeps its
// id, as an empty id would make the file unloadable.
void Rewrite(IXMLDOMElement* element, const CAttributeRewrite& rewrite)
{
    CVariant key;
    if (element->getAttribute(CBstr(rewrite.key.c_str()), &key) != S_OK || key.vt != VT_BSTR)
        return;
    auto chosen = rewrite.values.find(key.bstrVal);
    if (chosen == rewrite.values.end())
        return;
    CVariant value;
    value.vt = VT_BSTR;
    value.bstrVal = ::SysAllocString(chosen->second.c_str());
    element->setAttribute(CBstr(rewrite.attribute.c_str()), value);
}

void Rewrite(IXMLDOMDocument* document, const CAttributeRewrite& rewrite)
{
    CComPtr<IXMLDOMNodeList> nodes;
    CBstr query((L"//" + rewrite.element).c_str());
    long length = 0;
    if (SUCCEEDED(document->selectNodes(query, &nodes)) && nodes)
        nodes->get_length(&length);
    for (long i = 0; i < length; ++i)
        if (CComPtr<IXMLDOMElement> element = AsElement(nodes, i))
            Rewrite(element, rewrite);
}

// The new text goes beside the file and replaces it only when wholly written: a save that fails
// (a full disk, a file made read-only) leaves the file as it was.
HRESULT SaveBeside(IXMLDOMDocument* document, const std::wstring& file)
{
    std::wstring written = file + L".new";
    CVariant path;
    path.vt = VT_BSTR;
    path.bstrVal = ::SysAllocString(written.c_str());
    HRESULT hr = document->save(path);
    if (SUCCEEDED(hr) &&
        !::MoveFileExW(written.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        hr = HRESULT_FROM_WIN32(::GetLastError());
    if (FAILED(hr))
        ::DeleteFileW(written.c_str());
    return hr;
}
}  // namespace

bool SaveAttributes(const std::wstring& file, const std::vector<CAttributeRewrite>& rewrites,
                    std::wstring& errorText, int& errorCode)
{
    CComPtr<IXMLDOMDocument> document;
    HRESULT hr = ::CoCreateInstance(kClsidDOMDocument, nullptr, CLSCTX_ALL, kIidIXMLDOMDocument,
                                    reinterpret_cast<void**>(&document));
    if (FAILED(hr))
        return ComError(hr, errorText, errorCode);
    if (!document)
        return PlainError(L"Невозможно создать COM объект", errorText, errorCode);
    document->put_async(VARIANT_FALSE);
    document->put_preserveWhiteSpace(VARIANT_TRUE);  // the file keeps its layout
    if (FAILED(hr = document->put_validateOnParse(VARIANT_FALSE)))
        return ComError(hr, errorText, errorCode);

    CVariant path;
    path.vt = VT_BSTR;
    path.bstrVal = ::SysAllocString(file.c_str());
    VARIANT_BOOL loaded = VARIANT_FALSE;
    if (FAILED(hr = document->load(path, &loaded)))
        return ComError(hr, errorText, errorCode);
    if (!loaded) {
        wchar_t text[600];
        _snwprintf(text, 600, L"Невозможно загрузить файл %ls конфигурации", file.c_str());
        text[599] = L'\0';
        return PlainError(text, errorText, errorCode);
    }

    for (const CAttributeRewrite& rewrite : rewrites)
        Rewrite(document, rewrite);

    if (FAILED(hr = SaveBeside(document, file))) {
        errorText = L"Не удается сохранить параметры конфигурационного файла controller.xml";
        errorCode = int(hr & 0xFFFF);
        return false;
    }
    return true;
}

bool SavePortIds(const std::wstring& file, const std::map<std::wstring, std::wstring>& ids,
                 std::wstring& errorText, int& errorCode)
{
    return SaveAttributes(file, {{L"port", L"name", L"id", ids}}, errorText, errorCode);
}
