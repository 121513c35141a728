#include "RepeatCommand.h"
#include <gtest/gtest.h>

TEST(RepeatCommand, TakesTheSecondAndThirdWords)
{
    RepeatRequest three = ParseRepeat(L"REPEAT 3 $01M");
    EXPECT_EQ(three.count, 3);
    EXPECT_EQ(three.command, L"$01M");

    RepeatRequest spaced = ParseRepeat(L"  REPEAT   2   #01  ignored\n");
    EXPECT_EQ(spaced.count, 2);
    EXPECT_EQ(spaced.command, L"#01");

    RepeatRequest bare = ParseRepeat(L"REPEAT 2");
    EXPECT_EQ(bare.count, 2);
    EXPECT_EQ(bare.command, L"");

    // Where REPEAT stands does not matter: the words are taken by position.
    RepeatRequest moved = ParseRepeat(L"$01M 4 REPEAT");
    EXPECT_EQ(moved.count, 4);
    EXPECT_EQ(moved.command, L"REPEAT");

    EXPECT_EQ(ParseRepeat(L"REPEAT").count, 0);
    EXPECT_EQ(ParseRepeat(L"REPEAT -3 $01M").count, -3);
}

TEST(RepeatCommand, MasksCharactersAboveCode1000)
{
    EXPECT_EQ(MaskWideCharacters(L"!01\x0410\x0411\x03E8\x03E9\r"), L"!01..\x03E8.\r");
}
