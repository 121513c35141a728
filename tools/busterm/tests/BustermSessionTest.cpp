// busterm.exe itself, typed at through a pipe, with a simulated module on the other end of a
// pty line. The rig's pair "A:B" gives busterm COM A and the module COM B.
#include "BustermProcess.h"
#include "SimulatedModule.h"
#include <gtest/gtest.h>
#include <cstdlib>
#include <regex>

namespace {
const char kHelp[] =
    "Terminal mode run USO KPM 485:\n"
    "CRC ON ............. crc mode ON\n"
    "CRC OFF ............ crc mode OFF\n"
    "CP1 ................ change COMx to COM1\n"
    "CS9600 ............. change speed to 9600\n"
    "DELAY 20 ........... chande delay to 20 ms\n"
    "PURGE .............. discards all characters from the output or input buffer\n"
    "SETDTR ............. sends the DTR (data-terminal-ready) signal\n"
    "CLRDTR ............. clears the DTR (data-terminal-ready) signal\n"
    "SETRTS ............. sends the RTS (request-to-send) signal\n"
    "CLRRTS ............. clears the RTS (request-to-send) signal\n"
    "RESETDEV ........... Reset device if possible\n"
    "SETBREAK ........... Set the device break line\n"
    "CLRBREAK ........... Clear the device break line\n"
    "REPEAT 50 command .. repeat 50 times command\n"
    "SCAN ............... find the modules on the line at its speed\n"
    "SCAN ALL 10 1F ..... at every speed, only addresses 10 to 1F\n"
    "ERRORS ............. show io errors\n"
    "HELP ............... help\n"
    "EXIT ............... exit\n";
const char kBanner[] = "Norvane 1.0 KPM RS485 Module configurator.\n";
const char kPortLine[] = "COM2: DCB=9600,n,8,1 RS485\n";
const int kBannerLines = 21;

class BustermSession : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* pairs = std::getenv("RIG_PAIRS");
        ASSERT_TRUE(pairs && std::sscanf(pairs, "%d:%d", &m_terminalCom, &m_moduleCom) == 2)
            << "needs one pty pair from the rig";
        ASSERT_TRUE(m_module.Open(m_moduleCom));
        ASSERT_TRUE(m_busterm.Start());
        m_startUp = m_busterm.ReadLines(kBannerLines + 1);
    }

    // Moves busterm onto the pty line with a reply delay that a loaded machine keeps.
    void Connect()
    {
        ASSERT_EQ(Command("cp" + std::to_string(m_terminalCom)), "OK!!\n");
        ASSERT_EQ(Command("DELAY 300"), "OK!\n");
    }

    std::string Command(const std::string& line, int lines = 1) { return m_busterm.Command(line, lines); }

    // A raw command answered by the module: what went on the wire and what was printed.
    std::string Ask(const std::string& line, const std::string& reply, std::string& wire)
    {
        size_t before = m_module.Requests().size();
        m_module.QueueReply(reply);
        std::string printed = Command(line);
        std::vector<std::string> requests = m_module.WaitForRequests(before + 1);
        wire = requests.size() > before ? requests[before] : "(nothing)";
        return printed;
    }

    void ExpectExit(const std::string& typed = "EXIT")
    {
        if (typed.empty())
            m_busterm.CloseInput();
        else
            m_busterm.Type(typed);
        int code = -1;
        EXPECT_EQ(m_busterm.ReadToEnd(code), "EXIT OK!\n");
        EXPECT_EQ(code, 0);
    }

    int m_terminalCom = 0;
    int m_moduleCom = 0;
    CSimulatedModule m_module;
    CBustermProcess m_busterm;
    std::string m_startUp;
};
}  // namespace

TEST_F(BustermSession, StartsWithBannerAndHelpAndRunsWithoutItsPort)
{
    EXPECT_EQ(m_startUp, std::string(kBanner) + kHelp + kPortLine);

    // COM2 does not exist here: raw commands print empty lines and line commands fail.
    EXPECT_EQ(Command("$01M"), "\n");
    EXPECT_EQ(Command("PURGE"), "FAIL!\n");
    EXPECT_EQ(Command("SETBREAK"), "FAIL!\n");
    EXPECT_EQ(Command("ERRORS", 2), "\nOK!\n");
    EXPECT_EQ(Command("help", kBannerLines), std::string(kBanner) + kHelp);
    ExpectExit("exit");
    EXPECT_TRUE(m_module.Requests().empty());
}

TEST_F(BustermSession, ScriptedSessionMatchesWireBytesAndReplies)
{
    Connect();
    std::string wire;

    // Checksum off: the typed line upper-cased and a carriage return; the reply whole.
    EXPECT_EQ(Ask("$01m", "!017017D\r", wire), "!017017D\r\n");
    EXPECT_EQ(wire, "\x24\x30\x31\x4D\x0D");

    EXPECT_EQ(Command("crc on"), "OK!\n");
    // Checksum on: the sum as two upper-case digits; a good reply loses its checksum and end.
    EXPECT_EQ(Ask("$01m", "!0182\r", wire), "!01\n");
    EXPECT_EQ(wire, "\x24\x30\x31\x4D\x44\x32\x0D");
    // A bad checksum, and a reply too short to hold one, are shown whole.
    EXPECT_EQ(Ask("$01M", "!0183\r", wire), "!0183\r\n");
    EXPECT_EQ(Ask("$01M", "!0", wire), "!0\n");
    EXPECT_EQ(Ask("#01", ">+05.123+00.000" "DB\r", wire), ">+05.123+00.000\n");
    EXPECT_EQ(wire, "#0184\r");
    // An empty line is a raw command: the bare frame.
    EXPECT_EQ(Ask("", "", wire), "\n");
    EXPECT_EQ(wire, "00\r");

    EXPECT_EQ(Command("CRC OFF"), "OK!\n");
    EXPECT_EQ(Ask("", "?01\r", wire), "?01\r\n");
    EXPECT_EQ(wire, "\r");

    m_module.QueueReply("!01A\r");
    m_module.QueueReply("!01B\r");
    m_module.QueueReply("!01C\r");
    size_t before = m_module.Requests().size();
    EXPECT_EQ(Command("repeat 3 $01m", 3), "!01A\r\n!01B\r\n!01C\r\n");
    std::vector<std::string> requests = m_module.WaitForRequests(before + 3);
    EXPECT_EQ(std::vector<std::string>(requests.begin() + before, requests.end()),
              std::vector<std::string>(3, "$01M\r"));

    ExpectExit();
    EXPECT_EQ(m_module.Requests().size(), before + 3);
}

TEST_F(BustermSession, RepeatSendsItsCommandWordUninterpreted)
{
    Connect();
    // Two words only: the bare frame, with and without the checksum.
    EXPECT_EQ(Command("REPEAT 2", 2), "\n\n");
    EXPECT_EQ(Command("CRC ON"), "OK!\n");
    EXPECT_EQ(Command("REPEAT 2", 2), "\n\n");
    EXPECT_EQ(Command("CRC OFF"), "OK!\n");
    // Keywords are not interpreted in repeat mode, and nothing is sent for a count of zero.
    EXPECT_EQ(Command("REPEAT 2 PURGE", 2), "\n\n");
    m_busterm.Type("REPEAT 0 $01M");
    m_busterm.Type("REPEAT -4 $01M");
    EXPECT_EQ(Command("SETBREAK"), "OK!\n");  // the first output after them
    EXPECT_EQ(m_module.WaitForRequests(6),
              (std::vector<std::string>{"\r", "\r", "00\r", "00\r", "PURGE\r", "PURGE\r"}));

    // Characters above code 1000 show as "." in repeat mode only (0x80 and 0x99 are such
    // letters in code pages 1251 and 1252 alike).
    m_module.QueueReply("!01\x80\x99\r");
    EXPECT_EQ(Command("REPEAT 1 $01M"), "!01..\r\n");
    m_module.QueueReply("!01\x80\x99\r");
    EXPECT_EQ(Command("$01M"), "!01\x80\x99\r\n");
    ExpectExit();
    EXPECT_EQ(m_module.Requests().size(), 8u);
}

TEST_F(BustermSession, DelayIsParsedAfterTheSixthCharacterAndNeverNegative)
{
    Connect();
    std::string wire;
    EXPECT_EQ(Command("DELA"), "OK!\n");
    EXPECT_EQ(Command("DELAY -5"), "FAIL!\n");
    EXPECT_EQ(Command("DELAY5"), "OK!\n");  // that is 0 ms
    // With no delay a reply 800 ms late is missed; it then waits in the queue until a purge.
    m_module.QueueReply("!01LATE\r", 800);
    EXPECT_EQ(Command("$01M"), "\n");
    ::Sleep(2500);  // generous: the late reply must be in the queue before the purge
    EXPECT_EQ(Command("PURGE"), "OK!\n");
    EXPECT_EQ(Command("DELAY 3000"), "OK!\n");
    m_module.QueueReply("!01LATE\r", 800);
    EXPECT_EQ(Command("$01M"), "!01LATE\r\n");
    // The refused value left the delay as it was: the worker still answers.
    EXPECT_EQ(Command("delay -1"), "FAIL!\n");
    EXPECT_EQ(Ask("$01M", "!01\r", wire), "!01\r\n");
    ExpectExit();
}

// The rig gives this test's ptys working modem lines, as a real adapter has.
TEST_F(BustermSession, LineCommandsActOnTheHandle)
{
    Connect();
    EXPECT_EQ(Command("PURGE"), "OK!\n");
    EXPECT_EQ(Command("SETBREAK"), "OK!\n");
    EXPECT_EQ(Command("CLRBREAK"), "OK!\n");
    EXPECT_EQ(Command("SETDTR"), "OK!\n");
    EXPECT_EQ(Command("CLRDTR"), "OK!\n");
    EXPECT_EQ(Command("SETRTS"), "OK!\n");
    EXPECT_EQ(Command("CLRRTS"), "OK!\n");
    std::string reset = Command("RESETDEV");
    EXPECT_TRUE(reset == "OK!\n" || reset == "FAIL!\n") << reset;
    ExpectExit();
    EXPECT_TRUE(m_module.Requests().empty());
}

TEST_F(BustermSession, SpeedAndPortChangesReopenAndRecover)
{
    Connect();
    std::string wire;
    // CS alone builds ",n,8,1": the port stays open but unconfigured.
    EXPECT_EQ(Command("CS"), "FAIL!\n");
    EXPECT_EQ(Command("$01M"), "\n");
    EXPECT_EQ(Command("PURGE"), "OK!\n");
    EXPECT_EQ(Command("cs19200"), "OK!\n");
    EXPECT_EQ(Ask("$01M", "!01\r", wire), "!01\r\n");

    // A port that does not exist: closed, so line commands fail too; the old name is gone.
    EXPECT_EQ(Command("CP99"), "FAIL!\n");
    EXPECT_EQ(Command("$01M"), "\n");
    EXPECT_EQ(Command("PURGE"), "FAIL!\n");
    EXPECT_EQ(Command("CS9600"), "FAIL!\n");
    EXPECT_EQ(Command("CP" + std::to_string(m_terminalCom)), "OK!!\n");
    EXPECT_EQ(Ask("$01M", "!02\r", wire), "!02\r\n");
    ExpectExit();
    EXPECT_EQ(m_module.Requests(), (std::vector<std::string>{"$01M\r", "$01M\r"}));
}

TEST_F(BustermSession, ErrorsShowsReadFailuresOnceThenNothing)
{
    Connect();
    EXPECT_EQ(Command("$01M"), "\n");  // silent module
    EXPECT_EQ(Command("$02M"), "\n");
    std::string wire;
    EXPECT_EQ(Ask("$03M", "!03\r", wire), "!03\r\n");  // a reply adds nothing
    std::string log = Command("ERRORS", 2);
    EXPECT_TRUE(std::regex_match(log, std::regex("READ ERROR CODE: -?[0-9]+READ ERROR CODE: -?[0-9]+\nOK!\n"))) << log;
    EXPECT_EQ(Command("errors", 2), "\nOK!\n");
    ExpectExit();
}

TEST_F(BustermSession, EndOfInputEndsLikeExit)
{
    Connect();
    ExpectExit("");
}

TEST_F(BustermSession, ExitIgnoresWhatFollows)
{
    Connect();
    m_busterm.Type("EXIT\n$01M");
    int code = -1;
    EXPECT_EQ(m_busterm.ReadToEnd(code), "EXIT OK!\n");
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(m_module.Requests().empty());
}

TEST_F(BustermSession, OverLongLinesAreCutAndSaidSo)
{
    Connect();
    std::string longLine = "$01" + std::string(1500, 'a');
    std::string wire;
    EXPECT_EQ(Ask(longLine, "!01\r", wire), "LINE TOO LONG, CUT TO 1024 CHARACTERS\n");
    EXPECT_EQ(m_busterm.ReadLines(1), "!01\r\n");
    EXPECT_EQ(wire, "$01" + std::string(1021, 'A') + "\r");
    // The rest of the long line was dropped, not taken as a command of its own.
    EXPECT_EQ(Command("SETBREAK"), "OK!\n");
    ExpectExit();
    EXPECT_EQ(m_module.Requests().size(), 1u);
}

TEST_F(BustermSession, OverLongReplyIsCutAndItsRestDropped)
{
    Connect();
    std::string wire;
    std::string body(40000, 'r');
    std::string printed = Ask("$01M", body + "\r", wire);
    EXPECT_EQ(printed, body.substr(0, 32760) + "\n");
    EXPECT_EQ(m_busterm.ReadLines(1), "REPLY TOO LONG, CUT TO 32760 CHARACTERS\n");
    // The dropped rest does not open the next command's reply.
    EXPECT_EQ(Ask("$02M", "!02\r", wire), "!02\r\n");
    ExpectExit();
}
