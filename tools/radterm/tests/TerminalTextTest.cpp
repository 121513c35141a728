#include "FlatChunks.h"
#include "TerminalCommand.h"
#include <gtest/gtest.h>

TEST(CommandTable, CaseRules)
{
    EXPECT_EQ(ClassifyCommand(L"exit"), Command::Exit);
    EXPECT_EQ(ClassifyCommand(L"Crc On"), Command::CrcOn);
    EXPECT_EQ(ClassifyCommand(L"crc off"), Command::CrcOff);
    EXPECT_EQ(ClassifyCommand(L"AT&V"), Command::Hayes);
    EXPECT_EQ(ClassifyCommand(L"at&v"), Command::Flat);
    EXPECT_EQ(ClassifyCommand(L"CS9600"), Command::ChangeSpeed);
    EXPECT_EQ(ClassifyCommand(L"cs9600"), Command::Flat);
    EXPECT_EQ(ClassifyCommand(L"CP"), Command::ChangePort);
    EXPECT_EQ(ClassifyCommand(L"CPX"), Command::ChangePort);
    EXPECT_EQ(ClassifyCommand(L"cp"), Command::Flat);
    EXPECT_EQ(ClassifyCommand(L"master"), Command::Master);
    EXPECT_EQ(ClassifyCommand(L"Slave"), Command::Slave);
    EXPECT_EQ(ClassifyCommand(L"setdtr"), Command::SetDtr);
    EXPECT_EQ(ClassifyCommand(L"EXIT "), Command::Flat);
    EXPECT_EQ(ClassifyCommand(L""), Command::Flat);
    EXPECT_EQ(ClassifyCommand(L"+++"), Command::Flat);
}

TEST(CommandTable, FirstMatchWins)
{
    EXPECT_EQ(ClassifyCommand(L"xxREPEATyy"), Command::Repeat);
    EXPECT_EQ(ClassifyCommand(L"repeat 2 x"), Command::Repeat);
    EXPECT_EQ(ClassifyCommand(L"Repeat 2 x"), Command::Flat);
    EXPECT_EQ(ClassifyCommand(L"CSREPEAT"), Command::ChangeSpeed);
    EXPECT_EQ(ClassifyCommand(L"AT REPEAT"), Command::Repeat);
    EXPECT_EQ(ClassifyCommand(L"CPREPEAT"), Command::Repeat);
}

TEST(CommandTable, EscapeCodes)
{
    EXPECT_EQ(EscapeCode(Command::SetRts), 3u);
    EXPECT_EQ(EscapeCode(Command::ClrRts), 4u);
    EXPECT_EQ(EscapeCode(Command::SetDtr), 5u);
    EXPECT_EQ(EscapeCode(Command::ClrDtr), 6u);
    EXPECT_EQ(EscapeCode(Command::ResetDev), 7u);
    EXPECT_EQ(EscapeCode(Command::SetBreak), 8u);
    EXPECT_EQ(EscapeCode(Command::ClrBreak), 9u);
}

TEST(AnswerText, HayesCarriageReturnsBecomeLineFeeds)
{
    EXPECT_EQ(HayesAnswerText(L"OK\r\n"), L"OK\n\n");
}

TEST(FlatChunks, SendingPiecesOf254)
{
    auto chunks = FlatChunksFromText(std::wstring(254, L'a'));
    ASSERT_EQ(chunks.size(), 1u);
    EXPECT_EQ(FlatChunkCount(chunks[0]), 254);

    chunks = FlatChunksFromText(std::wstring(254, L'a') + L"b");
    ASSERT_EQ(chunks.size(), 2u);
    EXPECT_EQ(FlatChunkCount(chunks[1]), 1);
    EXPECT_EQ(FlatChunkBytes(chunks[1]), "b");

    chunks = FlatChunksFromText(L"");
    ASSERT_EQ(chunks.size(), 1u);
    EXPECT_EQ(FlatChunkCount(chunks[0]), 0);

    chunks = FlatChunksFromText(std::wstring(L"ab\0cd", 5));
    EXPECT_EQ(FlatChunkBytes(chunks[0]), "ab") << "copying stops at a zero character";
}

TEST(FlatChunks, ReceivedPiecesOf246)
{
    std::vector<uint8_t> bytes(492, 'x');
    EXPECT_EQ(FlatChunksFromBytes(bytes.data(), 246).size(), 1u);
    auto chunks = FlatChunksFromBytes(bytes.data(), 492);
    ASSERT_EQ(chunks.size(), 2u);
    EXPECT_EQ(FlatChunkCount(chunks[1]), 246);
    EXPECT_EQ(FlatChunksFromBytes(bytes.data(), 247).size(), 2u);
}
