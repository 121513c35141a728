#include "RadtermProcess.h"
#include "SimulatedModem.h"
#include "WindowProbe.h"
#include <dlgs.h>
#include <gtest/gtest.h>

namespace {
const DWORD kStart = 30000;  // Wine start-up on a loaded machine
const DWORD kAnswer = 10000;
const DWORD kHung = 300000;  // a window that answers nothing for this long has hung

// radterm on one end of the pty pair, the simulated modem on the other.
class RadtermModem : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(RigPort(0).empty()) << "needs a pty pair (RIG_PAIRS)";
        ASSERT_TRUE(modem.Opened());
        ASSERT_TRUE(radterm.Started());
        ASSERT_TRUE(radterm.ChoosePort(RigPort(0))) << radterm.Output();
    }

    // Types a line and waits for what it prints after everything printed before.
    size_t TypeAndWait(const std::string& line, const std::string& printed)
    {
        size_t end = radterm.Output().size();
        radterm.Type(line);
        return radterm.WaitFor(printed, kAnswer, end);
    }

    CSimulatedModem modem{RigPort(1)};
    CRadtermProcess radterm;
};
}  // namespace

TEST_F(RadtermModem, StartsWithHelpAndThePortDialogue)
{
    std::string out = radterm.Output();
    EXPECT_EQ(out.find("\nPellux Plus terminal.\nCP ................. change port\n"), 0u) << out;
    EXPECT_NE(out.find("+++ ................ Pellux Plus hayes mode\nHELP ............... This help\n"
                       "EXIT ............... exit\n\nSerial port name (COM2 or \\\\.\\COM10) default COM1: "
                       "Serial port config (\"19200,n,8,1\"): Modem successfuly"),
              std::string::npos)
        << out;
    radterm.Type("exit");
    EXPECT_EQ(radterm.WaitExit(kAnswer), 0);
    EXPECT_NE(radterm.WaitFor("EXIT OK!\n", 1000), std::string::npos) << radterm.Output();
}

TEST_F(RadtermModem, FlatTextGoesOutAsTypedAndArrivingTextIsPrinted)
{
    radterm.Type("hello");
    radterm.Type("at&v");  // lower case is flat text, not a Hayes command
    radterm.Type("+++");
    ASSERT_TRUE(modem.WaitReceived("helloat&v+++", kAnswer)) << modem.Received();

    modem.Write("RING from the far end");
    EXPECT_NE(radterm.WaitFor("RING from the far end", kAnswer), std::string::npos) << radterm.Output();

    // Text on the line is in code page 1251, as typed at the console.
    const std::string cyrillic = "\xCF\xF0\xE8\xE2\xE5\xF2";  // "Привет"
    radterm.Type(cyrillic);
    ASSERT_TRUE(modem.WaitReceived("+++" + cyrillic, kAnswer)) << modem.Received();
    modem.Write("\xCE\xF2\xE2\xE5\xF2");  // "Ответ"
    EXPECT_NE(radterm.WaitFor("\xCE\xF2\xE2\xE5\xF2", kAnswer), std::string::npos) << radterm.Output();

    std::string big(600, 'z');  // several chunks each way
    radterm.Type(big);
    ASSERT_TRUE(modem.WaitReceived(big, kAnswer));
    EXPECT_EQ(modem.Received(), "helloat&v+++" + cyrillic + big);
    modem.Write(std::string(600, 'q'));
    EXPECT_NE(radterm.WaitFor(std::string(600, 'q'), kAnswer), std::string::npos);
}

TEST_F(RadtermModem, ChecksumModeAppendsTheDconChecksum)
{
    EXPECT_NE(TypeAndWait("CRC ON", "OK!\n"), std::string::npos);
    radterm.Type("ABC");
    radterm.Type("");
    ASSERT_TRUE(modem.WaitReceived("ABCC6\r00\r", kAnswer)) << modem.Received();
    EXPECT_NE(TypeAndWait("crc off", "OK!\n"), std::string::npos);
    radterm.Type("ABC");
    ASSERT_TRUE(modem.WaitReceived("ABCC6\r00\rABC", kAnswer)) << modem.Received();
}

TEST_F(RadtermModem, HayesCommandPrintsTheAnswer)
{
    EXPECT_NE(TypeAndWait("CRC ON", "OK!\n"), std::string::npos);
    size_t at = TypeAndWait("AT&V", "OK\n\n");
    EXPECT_NE(at, std::string::npos) << radterm.Output();
    EXPECT_EQ(modem.Received(), "AT&V\r") << "no checksum on a Hayes command";
    // The answer is printed in the code page it came in.
    EXPECT_NE(TypeAndWait("ATI", "\xCC\xEE\xE4\xE5\xEC\n\n"), std::string::npos) << radterm.Output();
}

TEST_F(RadtermModem, TransactionEndsAfterSilence)
{
    // Both bursts belong to the answer: their carriage returns are printed as line feeds.
    EXPECT_NE(TypeAndWait("ATGAP30", "ONE\nTWO\n"), std::string::npos) << radterm.Output();
    // The second burst comes after the transaction gave up: the terminal prints it as it came.
    size_t end = radterm.Output().size();
    EXPECT_NE(TypeAndWait("ATGAP300", "ONE\nTWO\r"), std::string::npos) << radterm.Output().substr(end);
}

TEST_F(RadtermModem, RepeatSendsTheCommandCountTimes)
{
    EXPECT_NE(TypeAndWait("CRC ON", "OK!\n"), std::string::npos);
    size_t end = radterm.Output().size();
    radterm.Type("REPEAT 3 ABC");
    ASSERT_TRUE(modem.WaitReceived("ABCC6\rABCC6\rABCC6\r", kAnswer)) << modem.Received();
    radterm.Type("REPEAT 0 XYZ");
    radterm.Type("repeat 2 AT&V");  // each answer printed with its line feed
    EXPECT_NE(radterm.WaitFor("OK\r\n\nOK\r\n\n", kAnswer, end), std::string::npos) << radterm.Output().substr(end);
    EXPECT_EQ(modem.Received().find("XYZ"), std::string::npos);
}

TEST_F(RadtermModem, LineCommandsAndSpeedChange)
{
    EXPECT_NE(TypeAndWait("PURGE", "OK!\n"), std::string::npos);
    EXPECT_NE(TypeAndWait("ERRORS", "\nOK!\n"), std::string::npos);
    EXPECT_NE(TypeAndWait("SETBREAK", "OK!\n"), std::string::npos);
    EXPECT_NE(TypeAndWait("CLRBREAK", "OK!\n"), std::string::npos);

    DWORD start = ::GetTickCount();
    EXPECT_NE(TypeAndWait("CS9600", "OK!\n"), std::string::npos);
    EXPECT_GE(::GetTickCount() - start, 200u) << "closed for 200 ms before opening again";
    radterm.Type("after");
    EXPECT_TRUE(modem.WaitReceived("after", kAnswer)) << modem.Received();

    EXPECT_NE(TypeAndWait("CSX", "FAIL!\n"), std::string::npos);
    EXPECT_NE(TypeAndWait("PURGE", "FAIL!\n"), std::string::npos) << "the port stays closed";
    EXPECT_NE(TypeAndWait("CP", "Serial port name"), std::string::npos);
    radterm.Type(RigPort(0));
    radterm.Type("9600,n,8,1");
    EXPECT_NE(radterm.WaitFor("Modem successfuly reconfigured to " + RigPort(0) + " (\"9600,n,8,1\")\n", kAnswer),
              std::string::npos)
        << radterm.Output();
}

TEST_F(RadtermModem, EndOfInputEndsLikeExit)
{
    radterm.CloseInput();
    EXPECT_EQ(radterm.WaitExit(kAnswer), 0);
    EXPECT_NE(radterm.WaitFor("EXIT OK!\n", 1000), std::string::npos);
}

TEST_F(RadtermModem, FileIsSentUnchanged)
{
    std::string content = "first line\r\nsecond line\n";
    for (int i = 0; content.size() < 2500; ++i)
        content += "line " + std::to_string(i) + "\r\n";
    wchar_t folder[MAX_PATH], path[MAX_PATH];
    ::GetTempPathW(MAX_PATH, folder);
    ::GetTempFileNameW(folder, L"rad", 0, path);
    {
        CHandle file(::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        DWORD written = 0;
        ASSERT_TRUE(::WriteFile(file, content.data(), DWORD(content.size()), &written, nullptr));
    }

    radterm.Type("FILE");
    // The dialog's first start on a new machine (the shell's folders) can take long on loaded
    // cores: the waits below follow what the dialog does, and only a hang (kHung) ends them.
    HWND dialog = WaitForWindow(radterm.ProcessId(), L"#32770", nullptr, kHung);
    ASSERT_NE(dialog, nullptr);
    // The file name box (a combo box on some versions of the dialog, an edit on others) comes
    // a moment after the dialog window itself.
    HWND name = nullptr;
    for (DWORD start = ::GetTickCount(); !name && ::GetTickCount() - start < kHung; ::Sleep(50))
        name = ::GetDlgItem(dialog, cmb13) ? ::GetDlgItem(dialog, cmb13) : ::GetDlgItem(dialog, edt1);
    ASSERT_NE(name, nullptr);
    // A dialog still starting up may clear the name again: answer until it closes. Only the
    // answers it gives count, not the time it is busy.
    int answers = 0;
    for (DWORD start = ::GetTickCount(); ::IsWindow(dialog) && answers < 60 && ::GetTickCount() - start < kHung;) {
        DWORD_PTR result = 0;
        if (::SendMessageTimeoutW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path), SMTO_NORMAL, 1000, &result)) {
            ++answers;
            ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
            ::Sleep(500);
        }
    }

    EXPECT_FALSE(::IsWindow(dialog));
    EXPECT_TRUE(modem.WaitReceived(content, kAnswer)) << modem.Received().size() << " of " << content.size();
    EXPECT_EQ(modem.Received(), content);
    ::DeleteFileW(path);
}

// The rig gives this line working modem lines, so radterm's line-event wait is pending when the
// port closes: neither a line command, an exchange nor a mode switch keeps EXIT from ending.
TEST_F(RadtermModem, ExitEndsWithWorkingModemLines)
{
    EXPECT_NE(TypeAndWait("SETDTR", "OK!\n"), std::string::npos) << "the modem lines do not work";
    EXPECT_NE(TypeAndWait("AT&V", "OK\n\n"), std::string::npos) << radterm.Output();
    // A packet test on a port that does not open says so instead of waiting for ever.
    const std::string missing = "\\\\.\\COM99";
    radterm.Type("CP");
    radterm.Type(missing);
    EXPECT_NE(TypeAndWait("", "Unable open port " + missing + "\n"), std::string::npos) << radterm.Output();
    EXPECT_NE(TypeAndWait("MASTER", "Unable open port " + missing + "\n"), std::string::npos) << radterm.Output();
    radterm.Type("CP");
    ASSERT_TRUE(radterm.ChoosePort(RigPort(0))) << radterm.Output();
    radterm.Type("EXIT");
    EXPECT_EQ(radterm.WaitExit(kAnswer), 0);
}

// A line over 1024 characters is cut, and its rest is not taken for a command (here EXIT).
TEST_F(RadtermModem, OverLongLineIsCutAndItsRestDropped)
{
    std::string line(1024, 'z');
    EXPECT_NE(TypeAndWait(line + "EXIT", "LINE TOO LONG, CUT TO 1024 CHARACTERS\n"), std::string::npos);
    radterm.Type("after");
    ASSERT_TRUE(modem.WaitReceived(line + "after", kAnswer)) << modem.Received().size();
    EXPECT_EQ(modem.Received(), line + "after");
    EXPECT_EQ(radterm.WaitExit(0), -1) << "the rest of the line ended the program";
}
