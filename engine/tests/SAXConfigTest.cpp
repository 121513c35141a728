#include "ConfigFile.h"
#include "ModbusDevices.h"
#include "Pipe.h"
#include "SAXConfig.h"
#include "Serial.h"
#include <gtest/gtest.h>

namespace {
class SAXConfig : public ::testing::Test {
protected:
    CComApartment apartment;
};

const char kExample[] = R"(<?xml version="1.0" encoding="utf-8"?>
<configuration period="1000">
  <port name="seg1" id="COM3" dcb="9600,n,8,1" protocol="DCON" delay="60" crc="off" lrc="off"/>
  <device name="ICP7017" transport="seg1" addres="11" description="Аналоговый модуль">
    <item id="U1" idx="0" reg="0" direction="IN" type="A" description="Напряжение" percision="4"/>
  </device>
  <variable name="P" type="A" description="Давление" percision="3">P = U1 * 2,5</variable>
  <expression name="PROLOGUE">K = 2</expression>
</configuration>
)";

std::string Wrap(const std::string& body, const std::string& root = "<configuration period=\"500\">")
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n" + root + "\n" + body + "\n</configuration>\n";
}

const char kPort[] = R"(<port name="seg1" id="COM3" dcb="9600,n,8,1" protocol="DCON" delay="60" crc="off" lrc="off"/>)";
}  // namespace

TEST_F(SAXConfig, BuildsTheSmallExampleIntoTheEngine)
{
    CController c;
    ASSERT_EQ(LoadConfig(kExample, c), S_OK);
    EXPECT_EQ(c.Period(), 1000);

    ASSERT_EQ(c.Transports().size(), 1u);
    auto* serial = dynamic_cast<CSerial*>(c.Transports()[0].get());
    ASSERT_NE(serial, nullptr);
    EXPECT_EQ(serial->name, L"seg1");
    EXPECT_EQ(serial->GetPortId(), L"COM3");
    EXPECT_EQ(serial->Settings(), L"9600,n,8,1");
    EXPECT_EQ(serial->Protocol(), L"DCON");
    EXPECT_EQ(serial->Delay(), 60);
    EXPECT_FALSE(serial->DconChecksum());
    EXPECT_FALSE(serial->Crc());

    ASSERT_EQ(c.Devices().size(), 1u);
    CDevice* module = c.Devices()[0].get();
    EXPECT_EQ(module->keyword, L"ICP7017");
    EXPECT_EQ(module->kind, 6);
    EXPECT_EQ(module->address, L"11");
    EXPECT_EQ(module->description, L"Аналоговый модуль");
    EXPECT_EQ(module->transport, serial);
    EXPECT_EQ(module->inputs.size(), 8u);
    EXPECT_EQ(module->inputs[0].tag, TagFloat);

    ASSERT_EQ(c.Variables().size(), 2u);
    CVariable* u1 = c.Variables()[0].get();
    EXPECT_EQ(u1->name, L"U1");
    EXPECT_EQ(u1->value, &module->inputs[0]);
    EXPECT_EQ(u1->device, module);
    EXPECT_EQ(u1->valueType, TagFloat);
    EXPECT_EQ(u1->output, 0);
    EXPECT_EQ(u1->precision, 4);
    EXPECT_EQ(u1->description, L"Напряжение");
    EXPECT_TRUE(u1->formula.empty());

    CVariable* p = c.Variables()[1].get();
    EXPECT_EQ(p->name, L"P");
    EXPECT_EQ(p->channel, 100);
    EXPECT_EQ(p->device, nullptr);
    EXPECT_EQ(p->precision, 3);
    EXPECT_EQ(p->formula, L"P = U1 * 2,5");
    EXPECT_EQ(p->value->tag, TagBoolean);
    EXPECT_EQ(p->value->payload.i, 0);

    ASSERT_EQ(c.Computed().size(), 1u);
    EXPECT_EQ(c.Computed()[0], p);
    ASSERT_EQ(c.Prologue().size(), 1u);
    EXPECT_EQ(c.Prologue()[0], L"K = 2");
    EXPECT_TRUE(c.Epilogue().empty());
    EXPECT_EQ(c.FindValue(L"U1"), u1->value);
    EXPECT_EQ(c.FindValue(L"P"), p->value);
    ASSERT_EQ(c.Workers().size(), 1u);
    EXPECT_EQ(c.Workers()[0]->Devices().size(), 1u);
}

TEST_F(SAXConfig, AttributeRulesOfTheFile)
{
    CController c;
    ASSERT_EQ(LoadConfig(Wrap(R"(
  <port name="s" id="COM4" dcb="9600,n,8,1" protocol="DCON" delay="20" crc="on" lrc="ON"/>
  <port name="t" id="COM5" dcb="9600,n,8,1" protocol="DCON" delay=" 15ms" crc="x" lrc="on"/>
  <port name="m" id="COM6" dcb="9600,n,8,1" protocol="dcon" delay="20" crc="off" lrc="off"/>
  <device name="ICP7044D" transport="s" addres="01" description="d">
    <item id="A" idx="0" reg="7" direction="Out" type="Analog" description="a"/>
    <item id="B" idx="1" reg="0" direction="O" type="D" description="b"/>
    <item id="C" idx="2" reg="0" direction="" type="C" description="c"/>
    <item id="D" idx="0" reg="0" direction="Input" type="S" description="d"/>
    <item id="E" idx="1" reg="0" direction="I" type="D" description="e"/>
  </device>
  <device name="ICP7042D" transport="t" addres="02" description="no items"/>
  <device name="RRG12" transport="m" addres="3" description="dcon in lower case is Modbus"/>
)", R"(<configuration first="10" second="250">)"), c), S_OK);
    EXPECT_EQ(c.Period(), 250);  // the last attribute counts
    auto* s = dynamic_cast<CSerial*>(c.Transports()[0].get());
    auto* t = dynamic_cast<CSerial*>(c.Transports()[1].get());
    EXPECT_FALSE(s->DconChecksum());  // only "on" switches on
    EXPECT_TRUE(s->Crc());
    EXPECT_TRUE(t->DconChecksum());
    EXPECT_EQ(t->Delay(), 15);
    ASSERT_EQ(c.Variables().size(), 5u);
    EXPECT_EQ(c.Variables()[0]->output, 1);
    EXPECT_EQ(c.Variables()[0]->valueType, TagFloat);
    EXPECT_EQ(c.Variables()[0]->reg, 7);
    EXPECT_EQ(c.Variables()[0]->value, &c.Devices()[0]->outputs[0]);
    EXPECT_EQ(c.Variables()[1]->output, 1);
    EXPECT_EQ(c.Variables()[2]->output, 1);
    EXPECT_EQ(c.Variables()[2]->valueType, TagInteger);
    EXPECT_EQ(c.Variables()[3]->output, 0);
    EXPECT_EQ(c.Variables()[3]->valueType, TagString);
    EXPECT_EQ(c.Variables()[3]->value, &c.Devices()[0]->inputs[0]);
    EXPECT_EQ(c.Variables()[4]->precision, 0);
    EXPECT_EQ(c.Devices()[1]->outputs.size(), 13u);  // a device without items still has its arrays
    ASSERT_EQ(c.Workers().size(), 3u);
    EXPECT_EQ(c.Workers()[1]->Devices().size(), 1u);
}

TEST_F(SAXConfig, ExpressionsPrologueEpilogueAndFormulaOrder)
{
    CController c;
    ASSERT_EQ(LoadConfig(Wrap(R"(
  <expression name="PROLOGUE">a = 1</expression>
  <expression name="EPILOGUE">z = 9</expression>
  <expression name="PROLOGUE">b = 2</expression>
  <expression name="V">V = 1</expression>
  <variable name="V" type="A" description="v">V = 2</variable>
  <variable name="W" type="D" description="w">W = 3</variable>
  <expression name="W">W = 4</expression>
  <variable name="N" type="A" description="no formula"></variable>
)", "<configuration>"), c), S_OK);
    EXPECT_EQ(c.Period(), 0);
    ASSERT_EQ(c.Prologue().size(), 2u);
    EXPECT_EQ(c.Prologue()[0], L"a = 1");
    EXPECT_EQ(c.Prologue()[1], L"b = 2");
    ASSERT_EQ(c.Epilogue().size(), 1u);
    EXPECT_EQ(c.Variables()[0]->formula, L"V = 2");  // the element that ends later wins
    EXPECT_EQ(c.Variables()[1]->formula, L"W = 4");
    EXPECT_EQ(c.Computed().size(), 2u);  // N has no formula
}

// Each element has its own text: an empty one inherits none from the element before it.
TEST_F(SAXConfig, AnEmptyElementHasNoFormula)
{
    CController c;
    ASSERT_EQ(LoadConfig(Wrap(R"(
  <variable name="A" type="A" description="a">A = 1</variable>
  <variable name="B" type="A" description="b"/>
  <expression name="PROLOGUE">k = 2</expression>
  <expression name="C"/>
  <variable name="C" type="A" description="c">
  </variable>
)"), c), S_OK);
    ASSERT_EQ(c.Variables().size(), 3u);
    EXPECT_EQ(c.Variables()[1]->formula, L"");
    EXPECT_EQ(c.Variables()[2]->formula, L"");
    ASSERT_EQ(c.Computed().size(), 1u);
    EXPECT_EQ(c.Computed()[0]->name, L"A");
}

TEST_F(SAXConfig, PipePortsAndModbusDevices)
{
    CController c;
    ASSERT_EQ(LoadConfig(Wrap(R"(
  <port name="p" id="\\.\pipe\seg1"/>
  <port name="q" id="\\.\pipe\seg2" delay="300" lrc="on"/>
  <device name="IVA8" transport="p" addres="1" description="Влажность"/>
  <device name="RRG12" transport="p" addres="3" description="Расход">
    <item id="Q" idx="0" reg="4" direction="OUT" type="A" description="уставка"/>
  </device>
)"), c), S_OK);
    auto* pipe = dynamic_cast<CPipe*>(c.Transports()[0].get());
    ASSERT_NE(pipe, nullptr);
    EXPECT_EQ(pipe->GetPortId(), L"\\\\.\\pipe\\seg1");
    EXPECT_EQ(pipe->name, L"\\\\.\\pipe\\seg1");
    EXPECT_FALSE(pipe->DconChecksum());
    auto* timed = dynamic_cast<CPipe*>(c.Transports()[1].get());
    EXPECT_TRUE(timed->DconChecksum());
    EXPECT_GT(timed->TimeLimit(), pipe->TimeLimit());
    EXPECT_NE(dynamic_cast<CDeviceIVA8*>(c.Devices()[0].get()), nullptr);
    EXPECT_EQ(c.Devices()[1]->kind, 13);
    EXPECT_EQ(c.Devices()[1]->inputs.size(), 2u);
    EXPECT_EQ(c.Variables()[0]->value, &c.Devices()[1]->outputs[0]);
}

TEST_F(SAXConfig, ItemsOutsideADeviceAreNeverBound)
{
    CController c;
    ASSERT_EQ(LoadConfig(Wrap(std::string(kPort) + R"(
  <item id="Stray" idx="0" reg="0" direction="I" type="A" description="s"/>
  <device name="ICP7017" transport="seg1" addres="11" description="d"/>
  <item id="Late" idx="0" reg="0" direction="I" type="A" description="l"/>
)"), c), S_OK);
    EXPECT_TRUE(c.Variables().empty());
    EXPECT_EQ(c.FindValue(L"Stray"), nullptr);
}

TEST_F(SAXConfig, LongTextIsKeptToItsFirst999Characters)
{
    CController c;
    std::string formula = "x = " + std::string(2000, '1');
    ASSERT_EQ(LoadConfig(Wrap("<expression name=\"PROLOGUE\">" + formula + "</expression>"), c), S_OK);
    ASSERT_EQ(c.Prologue().size(), 1u);
    EXPECT_LE(c.Prologue()[0].size(), 999u);
    EXPECT_EQ(c.Prologue()[0].substr(0, 8), L"x = 1111");
}

namespace {
// 499 free variables and a prologue that stores three more names.
std::string TooManyNames()
{
    std::string body = "<expression name=\"PROLOGUE\">S499 = (S500 = 1) + (S501 = 2)</expression>\n";
    for (int i = 0; i < 499; ++i)
        body += "<variable name=\"S" + std::to_string(i) + "\" type=\"A\" description=\"s\"/>\n";
    return body;
}
}  // namespace

// What the engine could not run, or could not run truthfully, is refused by name.
TEST_F(SAXConfig, UndefinedCasesAreRefusedWithTheirOwnMessage)
{
    struct Case {
        std::string body;
        std::wstring message;
    } cases[] = {
        {R"(<port name="s" id="LPT1" dcb="9600,n,8,1" protocol="DCON" delay="60" crc="off" lrc="off"/>)",
         L"Элемент port, атрибут id = \"LPT1\": порт должен называться COMn или \\\\.\\pipe\\имя"},
        {R"(<port name="s" id="COM3" protocol="DCON" delay="60" crc="off" lrc="off"/>)",
         L"Элемент port: нет обязательного атрибута dcb"},
        {std::string(kPort) + R"(<device name="ICP9999" transport="seg1" addres="1" description="d"/>)",
         L"Элемент device, атрибут name = \"ICP9999\": неизвестный тип устройства"},
        {std::string(R"(<device name="ICP7017" transport="seg1" addres="1" description="d"/>)") + kPort,
         L"Элемент device, атрибут transport = \"seg1\": нет порта с таким именем выше в файле"},
        {std::string(kPort) + R"(<device name="ICP7033" transport="seg1" addres="1" description="d">
            <item id="T" idx="3" reg="0" direction="I" type="A" description="t"/></device>)",
         L"Элемент item, атрибут idx = \"3\": у устройства нет канала с таким номером"},
        {std::string(kPort) + R"(<device name="ICP7017" transport="seg1" addres="1" description="d">
            <item id="T" idx="65536" reg="0" direction="I" type="A" description="t"/></device>)",
         L"Элемент item, атрибут idx = \"65536\": у устройства нет канала с таким номером"},
        {std::string(kPort) + R"(<device name="ICP7017" transport="seg1" addres="1" description="d">
            <item id="T" idx="-1" reg="0" direction="I" type="A" description="t"/></device>)",
         L"Элемент item, атрибут idx = \"-1\": у устройства нет канала с таким номером"},
        {std::string(kPort) + R"(<device name="ICP7017" transport="seg1" addres="1" description="d">
            <item id="T" idx="0" reg="0" direction="OUT" type="A" description="t"/></device>)",
         L"Элемент item, атрибут idx = \"0\": у устройства нет канала с таким номером"},
        {std::string(kPort) + R"(<device name="ICP7017" transport="seg1" addres="1" description="d">
            <item id="T" idx="0" reg="0" direction="I" type="X" description="t"/></device>)",
         L"Элемент item, атрибут type = \"X\": тип значения должен начинаться с A, D, C или S"},
        {R"(<variable name="V" type="" description="v">V = 1</variable>)",
         L"Элемент variable, атрибут type = \"\": тип значения должен начинаться с A, D, C или S"},
        {std::string(kPort) + R"(<device name="ICP7044D" transport="seg1" addres="1" description="d">
            <item id="DO" idx="0" reg="0" direction="OUT" type="D" description="t" value="вкл"/></device>)",
         L"Элемент item, атрибут value = \"вкл\": значение DO должно быть числом, например 12,5"},
        {std::string(kPort) + R"(<device name="ICP7017" addres="1" description="d"/>)",
         L"Элемент device: нет обязательного атрибута transport"},
        {std::string(kPort) + R"(<device name="IVA8" transport="seg1" addres="1" description="d"/>)",
         L"Элемент device, атрибут transport = \"seg1\": устройство IVA8 с адресом 1 говорит по Modbus RTU, а порт "
         L"seg1 (COM3) — по DCON"},
        {R"(<port name="m" id="COM4" dcb="9600,n,8,1" protocol="dcon" delay="60" crc="off" lrc="off"/>
            <device name="ICP7017" transport="m" addres="11" description="d"/>)",
         L"Элемент device, атрибут transport = \"m\": устройство ICP7017 с адресом 11 говорит по DCON, а порт m "
         L"(COM4) — по Modbus RTU (protocol=\"dcon\")"},
        {R"(<variable name="Temperature_in_1" type="A" description="t"/>
            <variable name="Temperature_in_2" type="A" description="t"/>)",
         L"Имена переменных: имена Temperature_in_1, Temperature_in_2 совпадают в первых 15 знаках "
         L"(«Temperature_in_»), а формулы различают только 15 знаков имени"},
        {R"(<variable name="X" type="A" description="x">X = Temperature_in_1 + Temperature_in_22</variable>)",
         L"Имена переменных: имена Temperature_in_1, Temperature_in_22 совпадают в первых 15 знаках "
         L"(«Temperature_in_»), а формулы различают только 15 знаков имени"},
        {TooManyNames(),
         L"Имена переменных: имён в переменных и формулах — 502, формулы держат не больше 500; лишние: S500, S501"},
    };
    for (const Case& each : cases) {
        CController c;
        std::wstring message;
        EXPECT_EQ(LoadConfig(Wrap(each.body), c, &message), CSAXConfig::kRefused) << each.body;
        EXPECT_EQ(message, each.message) << each.body;
        EXPECT_TRUE(c.Transports().empty() && c.Variables().empty() && c.Workers().empty());
    }
}

TEST_F(SAXConfig, MissingAndMalformedFilesFail)
{
    CComApartment again;
    CController c;
    EXPECT_NE(LoadConfig("<configuration period=\"1\"><port", c), S_OK);
    CSAXConfig loader;
    HRESULT hr = loader.Parse(L"C:\\no\\such\\controller.xml");
    EXPECT_TRUE(FAILED(hr));
    EXPECT_TRUE(loader.ErrorText().empty());
}

// Entities could make the reader fetch other files or expand text without bound: whatever the
// declaration holds, and in whichever encoding, the file is refused before it is read.
TEST_F(SAXConfig, DocumentTypeDeclarationsAreRefused)
{
    CConfigFile secret("SECRET");
    std::string path(secret.Path().begin(), secret.Path().end());
    std::string body = std::string(kPort) + "\n<expression name=\"PROLOGUE\">x = 1</expression>\n";
    std::string utf16;
    for (char c : "<?xml version=\"1.0\" encoding=\"utf-16\"?><!DOCTYPE configuration><configuration/>")
        if (c)
            utf16 += std::string{c, '\0'};
    std::string plain = Wrap(body);
    plain.insert(plain.find('\n') + 1, "<!DOCTYPE configuration>\n");
    const std::string files[] = {
        plain,
        "<?xml version=\"1.0\"?>\n<!-- c --><?pi x?>\n<!DOCTYPE configuration [<!ENTITY a \"aaaa\">]>\n"
            "<configuration period=\"1\"><variable name=\"V\" type=\"A\" description=\"&a;\"/></configuration>",
        "<!DOCTYPE configuration [<!ENTITY s SYSTEM \"file:///" + path + "\">]>\n"
            "<configuration><expression name=\"PROLOGUE\">&s;</expression></configuration>",
        "\xFF\xFE" + utf16,
    };
    for (const std::string& file : files) {
        CController c;
        std::wstring message;
        EXPECT_EQ(LoadConfig(file, c, &message), CSAXConfig::kRefused) << file;
        EXPECT_EQ(message, L"Объявление DOCTYPE: описание типа документа (DTD) в файле не допускается");
        EXPECT_TRUE(c.Transports().empty() && c.Prologue().empty());
    }
    CController c;
    EXPECT_EQ(LoadConfig(Wrap(body + "<!-- <!DOCTYPE x> -->"), c), S_OK);
    EXPECT_EQ(c.Prologue().size(), 1u);
}

// Readers quote names and namespace values in their error messages, and Wine's copies them into a
// fixed buffer: such tokens longer than 100 characters are refused before the reader sees them.
// Long values of other attributes are no such token.
TEST_F(SAXConfig, OverLongNamesAreRefusedBeforeTheReader)
{
    std::string name(3000, 'e'), spaced;
    for (int i = 0; i < 300; ++i)
        spaced += "a b ";
    const std::string files[] = {
        Wrap("<" + name + "></f>"),
        Wrap("<item " + name + "=\"1\"/>"),
        Wrap("<x:item xmlns:x=\"" + spaced + "\"/>"),
        Wrap("<expression name=\"PROLOGUE\">&" + name + ";</expression>"),
        "<?xml version=\"1.0\" encoding=\"" + name + "\"?><configuration/>",
    };
    for (const std::string& file : files) {
        CController c;
        std::wstring message;
        EXPECT_EQ(LoadConfig(file, c, &message), CSAXConfig::kRefused);
        EXPECT_EQ(message.substr(0, 10), L"Разметка \"") << message;
        EXPECT_NE(message.find(L"длиннее 100 символов"), std::wstring::npos);
    }
    CController c;
    ASSERT_EQ(LoadConfig(Wrap("<variable name=\"V\" type=\"A\" description=\"" + spaced + "\"/>"), c), S_OK);
    EXPECT_EQ(c.Variables()[0]->description.size(), spaced.size());
}
