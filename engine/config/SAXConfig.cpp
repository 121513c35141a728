#include "SAXConfig.h"
#include "Dcon.h"
#include "DecimalComma.h"
#include "DeviceTable.h"
#include "EvaluatorNames.h"
#include "FileBytes.h"
#include "MarkupScreen.h"
#include "Pipe.h"
#include "Serial.h"
#include <cwchar>
#include <cstdlib>

namespace {
const CLSID kClsidSAXXMLReader = {0x079AA557, 0x4A18, 0x424A, {0x8E, 0xEE, 0xE3, 0x9F, 0x0A, 0x8D, 0x41, 0xB9}};
const IID kIidISAXXMLReader = {0xA4F96ED0, 0xF829, 0x476E, {0x81, 0xC0, 0xCD, 0xC7, 0xBD, 0x2A, 0x08, 0x02}};
constexpr size_t kMaxText = 999;
const wchar_t kNoSuchChannel[] = L"у устройства нет канала с таким номером";

bool StartsWith(const std::wstring& text, const wchar_t* prefix)
{
    return text.compare(0, wcslen(prefix), prefix) == 0;
}

// An element without text, or with blanks only, gives its variable no formula.
bool IsFormula(const std::wstring& text) { return text.find_first_not_of(L" \t\r\n") != std::wstring::npos; }
}  // namespace

CSAXConfig::CSAXConfig()
{
    m_created = ::CoCreateInstance(kClsidSAXXMLReader, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER,
                                   kIidISAXXMLReader, reinterpret_cast<void**>(&m_reader));
    if (SUCCEEDED(m_created))
        m_created = m_reader->putContentHandler(this);
    if (SUCCEEDED(m_created)) {
        // A reader that takes no lexical handler leaves the declaration to the file check in Parse.
        CVariant handler;
        handler.vt = VT_UNKNOWN;
        handler.punkVal = &m_doctype;
        m_reader->putProperty(L"http://xml.org/sax/properties/lexical-handler", handler);
    }
}

HRESULT CSAXConfig::Parse(const wchar_t* path)
{
    if (FAILED(m_created))
        return m_created;
    std::wstring refusal = ScreenMarkup(ReadFileBytes(path));
    if (!refusal.empty())
        return RefuseFile(refusal);
    HRESULT hr = m_reader->parseURL(path);
    if (hr == S_OK && m_error.empty())
        CheckNames();
    return m_error.empty() ? hr : kRefused;
}

HRESULT WINAPI CSAXConfig::startElement(const wchar_t*, int, const wchar_t* localName, int localLength,
                                        const wchar_t*, int, ISAXAttributes* attributes)
{
    std::wstring element(localName, size_t(localLength));
    m_text.clear();  // an element's text is its own: an empty one inherits nothing
    m_attributes.clear();
    std::wstring last;
    int count = 0;
    if (attributes)
        attributes->getLength(&count);
    for (int i = 0; i < count; ++i) {
        const wchar_t *name = nullptr, *value = nullptr;
        int nameLength = 0, valueLength = 0;
        attributes->getLocalName(i, &name, &nameLength);
        attributes->getValue(i, &value, &valueLength);
        last.assign(value ? value : L"", value ? size_t(valueLength) : 0);
        if (nameLength > 0)
            m_attributes[std::wstring(name, size_t(nameLength))] = last;
    }
    if (element == L"device") {
        m_pendingItems.clear();
        m_deviceAttributes = m_attributes;
    } else if (element == L"configuration") {
        m_built.period = count > 0 ? _wtoi(last.c_str()) : 0;
    }
    return S_OK;
}

// The reader may hand one text over in several pieces.
HRESULT WINAPI CSAXConfig::characters(const wchar_t* chars, int length)
{
    m_text.append(chars, std::min(size_t(std::max(length, 0)), kMaxText - m_text.size()));
    return S_OK;
}

HRESULT WINAPI CSAXConfig::endElement(const wchar_t*, int, const wchar_t* localName, int localLength,
                                      const wchar_t*, int)
{
    std::wstring element(localName, size_t(localLength));
    if (element == L"port")
        return EndPort();
    if (element == L"item")
        return EndItem();
    if (element == L"device")
        return EndDevice();
    if (element == L"expression")
        return EndExpression();
    if (element == L"variable")
        return EndVariable();
    return S_OK;
}

HRESULT CSAXConfig::EndPort()
{
    const Attributes& a = m_attributes;
    if (!Require(a, L"port", {L"name", L"id"}))
        return kRefused;
    std::wstring id = Get(a, L"id");
    std::unique_ptr<CTransport> transport;
    if (StartsWith(id, L"COM")) {
        if (!Require(a, L"port", {L"dcb", L"protocol", L"delay", L"crc", L"lrc"}))
            return kRefused;
        auto serial = std::make_unique<CSerial>(id, Get(a, L"dcb"), Get(a, L"protocol"), _wtoi(Get(a, L"delay").c_str()));
        serial->SetDconChecksum(Get(a, L"lrc") == L"on");
        serial->SetCrc(Get(a, L"crc") == L"on");
        serial->name = Get(a, L"name");
        transport = std::move(serial);
    } else if (StartsWith(id, L"\\\\")) {
        // A pipe needs only its path; a delay and a checksum switch apply when given.
        auto pipe = std::make_unique<CPipe>(id);
        pipe->SetDconChecksum(Get(a, L"lrc") == L"on");
        if (a.count(L"delay"))
            pipe->SetDelay(_wtoi(Get(a, L"delay").c_str()));
        transport = std::move(pipe);
    } else {
        return Refuse(L"port", L"id", id, L"порт должен называться COMn или \\\\.\\pipe\\имя");
    }
    m_ports[Get(a, L"name")] = {transport.get(), id, Get(a, L"protocol"), a.count(L"protocol") == 0};
    m_built.transports.push_back(std::move(transport));
    return S_OK;
}

HRESULT CSAXConfig::EndItem()
{
    const Attributes& a = m_attributes;
    if (!Require(a, L"item", {L"id", L"idx", L"reg", L"direction", L"type", L"description"}))
        return kRefused;
    // A number no channel can have is refused here, before it could wrap to one that exists.
    std::wstring index = Get(a, L"idx");
    int channel = _wtoi(index.c_str());
    if (channel < 0 || channel > 0xFFFF)
        return Refuse(L"item", L"idx", index, kNoSuchChannel);
    auto variable = std::make_unique<CVariable>();
    variable->name = Get(a, L"id");
    variable->channel = uint16_t(channel);
    variable->reg = uint16_t(_wtoi(Get(a, L"reg").c_str()));
    variable->output = StartsWith(Get(a, L"direction"), L"I") ? 0 : 1;
    std::optional<float> first;
    if (!ReadTypeAndText(a, L"item", *variable) || !ReadFirstValue(a, L"item", variable->name, first))
        return kRefused;
    m_pendingItems.push_back({std::move(variable), index, first});
    return S_OK;
}

HRESULT CSAXConfig::EndDevice()
{
    const Attributes& a = m_deviceAttributes;
    if (!Require(a, L"device", {L"name", L"transport", L"addres", L"description"}))
        return kRefused;
    std::unique_ptr<CDevice> device = CreateDevice(Get(a, L"name"));
    if (!device)
        return Refuse(L"device", L"name", Get(a, L"name"), L"неизвестный тип устройства");
    auto port = m_ports.find(Get(a, L"transport"));
    if (port == m_ports.end())
        return Refuse(L"device", L"transport", Get(a, L"transport"), L"нет порта с таким именем выше в файле");
    device->address = Get(a, L"addres");
    bool speaksDcon = dynamic_cast<CDCON*>(device.get()) != nullptr;
    if (!port->second.eitherProtocol && (port->second.protocol == L"DCON") != speaksDcon)
        return RefuseProtocol(*device, port->first, port->second);
    device->transport = port->second.transport;
    device->description = Get(a, L"description");
    for (auto& item : m_pendingItems) {
        CVariable& variable = *item.variable;
        std::vector<CValue>& channels = variable.output ? device->outputs : device->inputs;
        if (variable.channel >= channels.size())
            return Refuse(L"item", L"idx", item.index, kNoSuchChannel);
        variable.value = &channels[variable.channel];
        variable.device = device.get();
        if (item.first)
            variable.value->SetFloat(*item.first);
    }
    for (auto& item : m_pendingItems)
        m_built.variables.push_back(std::move(item.variable));
    m_pendingItems.clear();
    m_built.devices.push_back(std::move(device));
    return S_OK;
}

HRESULT CSAXConfig::EndExpression()
{
    if (!Require(m_attributes, L"expression", {L"name"}))
        return kRefused;
    std::wstring name = Get(m_attributes, L"name");
    m_expressions[name] = m_text;
    if (name == L"PROLOGUE")
        m_built.prologue.push_back(m_text);
    else if (name == L"EPILOGUE")
        m_built.epilogue.push_back(m_text);
    return S_OK;
}

HRESULT CSAXConfig::EndVariable()
{
    const Attributes& a = m_attributes;
    if (!Require(a, L"variable", {L"name", L"type", L"description"}))
        return kRefused;
    auto variable = std::make_unique<CVariable>();
    variable->name = Get(a, L"name");
    std::optional<float> first;
    if (!ReadTypeAndText(a, L"variable", *variable) || !ReadFirstValue(a, L"variable", variable->name, first))
        return kRefused;
    auto value = std::make_unique<CValue>();
    value->SetBoolean(false);
    if (first)
        value->SetFloat(*first);  // as a formula's result, so outputs and formulas read the float it is
    variable->value = value.get();
    m_built.freeValues.push_back(std::move(value));
    m_expressions[variable->name] = m_text;
    m_built.variables.push_back(std::move(variable));
    return S_OK;
}

// The serial port's thread speaks one protocol: a device of the other one would get no byte sent,
// or the echo of an earlier request for its answer.
HRESULT CSAXConfig::RefuseProtocol(const CDevice& device, const std::wstring& portName, const CPortEntry& port)
{
    bool dcon = port.protocol == L"DCON";
    return Refuse(L"device", L"transport", portName,
                  (L"устройство " + device.keyword + L" с адресом " + device.address + L" говорит по " +
                   (dcon ? L"Modbus RTU" : L"DCON") + L", а порт " + portName + L" (" + port.id + L") — по " +
                   (dcon ? std::wstring(L"DCON") : L"Modbus RTU (protocol=\"" + port.protocol + L"\")"))
                      .c_str());
}

// Every name the formulas meet must have a slot of its own in the evaluator's table.
HRESULT CSAXConfig::CheckNames()
{
    std::vector<std::wstring> variables, formulas(m_built.prologue);
    formulas.insert(formulas.end(), m_built.epilogue.begin(), m_built.epilogue.end());
    for (const auto& variable : m_built.variables) {
        variables.push_back(variable->name);
        auto formula = m_expressions.find(variable->name);
        if (formula != m_expressions.end())
            formulas.push_back(formula->second);
    }
    std::wstring refusal = EvaluatorNamesRefusal(variables, formulas);
    return refusal.empty() ? S_OK : RefuseFile(L"Имена переменных: " + refusal);
}

void CSAXConfig::Build(CController& controller)
{
    for (auto& variable : m_built.variables) {
        auto formula = m_expressions.find(variable->name);
        if (formula != m_expressions.end() && IsFormula(formula->second)) {
            variable->formula = formula->second;
            m_built.computed.push_back(variable.get());
        }
    }
    controller.Install(std::move(m_built));
}

// The value type, description and display precision that items and free variables share.
bool CSAXConfig::ReadTypeAndText(const Attributes& a, const wchar_t* element, CVariable& variable)
{
    variable.valueType = ValueTypeOf(Get(a, L"type"));
    if (variable.valueType < 0) {
        Refuse(element, L"type", Get(a, L"type"), L"тип значения должен начинаться с A, D, C или S");
        return false;
    }
    variable.description = Get(a, L"description");
    std::wstring precision = Get(a, L"percision");
    if (!precision.empty())
        variable.precision = uint16_t(_wtoi(precision.c_str()));
    return true;
}

// The value an operator set last ("Задать" of the gas-mixture tab writes it), when the file has one.
bool CSAXConfig::ReadFirstValue(const Attributes& a, const wchar_t* element, const std::wstring& name,
                                std::optional<float>& first)
{
    auto text = a.find(L"value");
    if (text == a.end())
        return true;
    double number = 0.0;
    if (!ReadDecimal(text->second, number)) {
        Refuse(element, L"value", text->second, (L"значение " + name + L" должно быть числом, например 12,5").c_str());
        return false;
    }
    first = float(number);
    return true;
}

HRESULT WINAPI CSAXConfig::CDoctypeRefusal::startDTD(const wchar_t*, int, const wchar_t*, int, const wchar_t*, int)
{
    return m_config.RefuseFile(kDoctypeRefusal);
}

HRESULT CSAXConfig::RefuseFile(const std::wstring& message)
{
    if (m_error.empty())
        m_error = message;
    return kRefused;
}

HRESULT CSAXConfig::Refuse(const wchar_t* element, const wchar_t* attribute, const std::wstring& value,
                           const wchar_t* reason)
{
    return RefuseFile(std::wstring(L"Элемент ") + element + L", атрибут " + attribute + L" = \"" + value + L"\": " +
                      reason);
}

bool CSAXConfig::Require(const Attributes& attributes, const wchar_t* element,
                         std::initializer_list<const wchar_t*> names)
{
    for (const wchar_t* name : names)
        if (attributes.find(name) == attributes.end()) {
            RefuseFile(std::wstring(L"Элемент ") + element + L": нет обязательного атрибута " + name);
            return false;
        }
    return true;
}

std::wstring CSAXConfig::Get(const Attributes& attributes, const wchar_t* name)
{
    auto it = attributes.find(name);
    return it == attributes.end() ? std::wstring() : it->second;
}

int CSAXConfig::ValueTypeOf(const std::wstring& type)
{
    switch (type.empty() ? L'\0' : type[0]) {
    case L'A': return TagFloat;
    case L'D': return TagBoolean;
    case L'C': return TagInteger;
    case L'S': return TagString;
    default: return -1;
    }
}
