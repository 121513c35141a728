#include "TextConv.h"
#include <gtest/gtest.h>

TEST(TextConv, Cp1251RoundTrip)
{
    std::wstring text = L"Гигрометр ИВА-8";
    std::string bytes = WideToAnsi(text, 1251);
    ASSERT_EQ(bytes.size(), text.size());
    EXPECT_EQ(uint8_t(bytes[0]), 0xC3);  // "Г" in code page 1251
    EXPECT_EQ(AnsiToWide(bytes, 1251), text);
    EXPECT_EQ(AnsiToWide(std::string()), L"");
}
