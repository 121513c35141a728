#include "DialogProbe.h"
#include "FatalError.h"
#include "OrvexSession.h"
#include "OrvexTestConfigs.h"
#include <windows.h>
#include <gtest/gtest.h>
#include <memory>

namespace {
const wchar_t kLinkCaption[] = L"Связь";

std::string Port(const std::string& name, const std::string& id)
{
    return "  <port name=\"" + name + "\" id=\"" + id + "\" dcb=\"9600,n,8,1\" protocol=\"DCON\" delay=\"10\" crc=\"off\" lrc=\"off\"/>\n";
}

// The id attribute of the named port element in a saved file.
std::string PortIdInFile(const std::string& file, const std::string& name)
{
    size_t at = file.find("name=\"" + name + "\"");
    if (at == std::string::npos)
        return "<no port>";
    size_t start = file.rfind('<', at), end = file.find('>', at);
    std::string element = file.substr(start, end - start);
    size_t id = element.find(" id=\"");
    if (id == std::string::npos)
        return "<no id>";
    id += 5;
    return element.substr(id, element.find('"', id) - id);
}

class LinkDialog : public ::testing::Test {
protected:
    void Open(const std::string& ports)
    {
        orvex = std::make_unique<COrvexSession>(Configuration(ports));
        ASSERT_TRUE(orvex->Start()) << ::GetLastError();
        mainDialog = orvex->MainWindow();
        ASSERT_NE(mainDialog, nullptr);
        original = orvex->ReadConfiguration();
        PressKey(mainDialog, VK_F12);
        dialog = orvex->WaitForDialog(kLinkCaption);
        ASSERT_NE(dialog, nullptr);
    }
    void Close(int button)
    {
        ClickButton(dialog, button);
        ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(dialog); }, 20000));
    }
    void TearDown() override
    {
        if (mainDialog && ::IsWindow(mainDialog)) {
            PressKey(mainDialog, VK_F10);
            EXPECT_EQ(orvex->Wait(20000), 2);
        }
    }
    std::wstring Segment() { return ItemText(dialog, 131); }
    std::wstring PortShown() { return ItemText(dialog, 130); }

    std::unique_ptr<COrvexSession> orvex;
    HWND mainDialog = nullptr;
    HWND dialog = nullptr;
    std::string original;
};
}  // namespace

TEST_F(LinkDialog, ListsThirtyOnePortsAndSelectsByPrefixAfterTheFirstEntry)
{
    Open(Port("A", "COM1") + Port("B", "COM3"));
    HWND ports = ::GetDlgItem(dialog, 130);
    EXPECT_EQ(::SendMessageW(ports, CB_GETCOUNT, 0, 0), 31);
    EXPECT_EQ(::SendMessageW(::GetDlgItem(dialog, 131), CB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(PortShown(), L"COM10");  // COM1 is found after the first entry, as COM10
    EXPECT_EQ(Segment(), L"A");        // no "Iva": the first segment
    Close(IDOK);
    // Saving untouched lists keeps COM1, not the COM10 shown.
    EXPECT_EQ(PortIdInFile(orvex->ReadConfiguration(), "A"), "COM1");
    EXPECT_EQ(PortIdInFile(orvex->ReadConfiguration(), "B"), "COM3");
}

TEST_F(LinkDialog, IvaIsSelectedWhileThePortShownIsTheFirstTransports)
{
    Open(Port("seg1", "COM7") + Port("Iva", "COM3"));
    EXPECT_EQ(Segment(), L"Iva");
    EXPECT_EQ(PortShown(), L"COM7");
    SelectComboEntry(dialog, 131, 1);
    EXPECT_TRUE(WaitUntil([&] { return PortShown() == L"COM3"; }, 10000)) << PortShown();
    Close(IDCANCEL);
}

TEST_F(LinkDialog, SaveMovesOnlyTheSegmentWhosePortWasChosen)
{
    Open(Port("A", "COM2") + Port("B", "COM3"));
    SelectComboEntry(dialog, 131, 1);                        // segment B
    ASSERT_TRUE(WaitUntil([&] { return PortShown() == L"COM3"; }, 10000));
    SelectComboEntry(dialog, 130, 3);                        // COM4
    SelectComboEntry(dialog, 131, 0);                        // segment A
    EXPECT_TRUE(WaitUntil([&] { return PortShown() == L"COM2"; }, 10000)) << PortShown();
    Close(IDOK);
    std::string saved = orvex->ReadConfiguration();
    EXPECT_EQ(PortIdInFile(saved, "A"), "COM2");
    EXPECT_EQ(PortIdInFile(saved, "B"), "COM4");
    // The new id is in force at once: the link dialog starts from it.
    PressKey(mainDialog, VK_F12);
    dialog = orvex->WaitForDialog(kLinkCaption);
    ASSERT_NE(dialog, nullptr);
    SelectComboEntry(dialog, 131, 1);
    EXPECT_TRUE(WaitUntil([&] { return PortShown() == L"COM4"; }, 10000)) << PortShown();
    Close(IDCANCEL);
}

TEST_F(LinkDialog, CloseAppliesNothing)
{
    Open(Port("A", "COM2") + Port("B", "COM3"));
    SelectComboEntry(dialog, 131, 1);
    SelectComboEntry(dialog, 130, 5);
    Close(IDCANCEL);
    EXPECT_EQ(orvex->ReadConfiguration(), original);
    PressKey(mainDialog, VK_F12);
    dialog = orvex->WaitForDialog(kLinkCaption);
    ASSERT_NE(dialog, nullptr);
    SelectComboEntry(dialog, 131, 1);
    EXPECT_TRUE(WaitUntil([&] { return PortShown() == L"COM3"; }, 10000)) << PortShown();
    Close(IDCANCEL);
}

TEST_F(LinkDialog, PipeSegmentKeepsItsPathAndTheSavedFileLoadsAgain)
{
    std::string pipe = "\\\\.\\pipe\\orvex-link-" + std::to_string(::GetCurrentProcessId());
    Open(Port("A", "COM2") + "  <port name=\"P\" id=\"" + pipe + "\"/>\n");
    // The port dialog is owned by the main dialog, which cannot be used meanwhile.
    EXPECT_EQ(::GetWindow(dialog, GW_OWNER), mainDialog);
    EXPECT_FALSE(::IsWindowEnabled(mainDialog));
    SelectComboEntry(dialog, 131, 1);  // the pipe segment, shown by its path
    SelectComboEntry(dialog, 130, 4);  // COM5 chosen for it changes nothing
    Close(IDOK);
    std::string saved = orvex->ReadConfiguration();
    EXPECT_EQ(PortIdInFile(saved, "P"), pipe);
    EXPECT_EQ(PortIdInFile(saved, "A"), "COM2");
    PressKey(mainDialog, VK_F10);
    ASSERT_EQ(orvex->Wait(20000), 2);
    ASSERT_TRUE(orvex->Start());
    mainDialog = orvex->MainWindow();
    EXPECT_NE(mainDialog, nullptr) << "the saved file does not load";
}

TEST_F(LinkDialog, FileThatCannotBeRewrittenEndsOrvexThroughTheFatalBoxWithANonZeroCode)
{
    Open(Port("A", "COM2"));
    ASSERT_TRUE(::DeleteFileW((orvex->Folder() + L"\\controller.xml").c_str()));
    ClickButton(dialog, IDOK);
    EXPECT_EQ(orvex->TakeMessageBox(L"КВАРТ-2"), L"Невозможно загрузить файл controller.xml конфигурации");
    EXPECT_EQ(orvex->Wait(20000), kFatalExitWithoutCode);
    mainDialog = nullptr;
}
