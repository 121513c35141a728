// Run with the Russian regional settings (the rig's default LANG=ru_RU.UTF-8): decimal comma,
// code page 1251.
#include "CsvRecorder.h"
#include "ScratchDir.h"
#include "Value.h"
#include "Variable.h"
#include <gtest/gtest.h>
#include <boost/date_time/posix_time/time_parsers.hpp>

using boost::posix_time::ptime;
using boost::posix_time::time_from_string;

namespace {

const std::string kTime = "\xC2\xF0\xE5\xEC\xFF";  // "Время" in code page 1251

class CsvRecorderTest : public ::testing::Test {
protected:
    CsvRecorderTest() : recorder([this] { return now; }) {}

    void AddVariable(const wchar_t* name, const wchar_t* description, CValue value)
    {
        values.push_back(std::make_unique<CValue>(value));
        auto v = std::make_unique<CVariable>();
        v->name = name;
        v->description = description;
        v->value = values.back().get();
        variables.push_back(std::move(v));
    }
    void WriteAt(const char* time, const char* format = "%Y.%m.%d")
    {
        now = time_from_string(time);
        recorder.WriteCsvLine(format, variables);
    }

    CScratchDir dir;
    ptime now;
    CCsvRecorder recorder;
    std::vector<std::unique_ptr<CValue>> values;
    CVariableList variables;
};

CValue Float(float x) { CValue v; v.SetFloat(x); return v; }
CValue Boolean(bool x) { CValue v; v.SetBoolean(x); return v; }

// A file opened by another program with no sharing, as a spreadsheet does.
HANDLE Lock(const wchar_t* name)
{
    return ::CreateFileW(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

TEST_F(CsvRecorderTest, NewFileGetsHeaderThenLinesWithTheExactBytes)
{
    AddVariable(L"U1", L"D1", Float(1.2345678f));
    AddVariable(L"P", L"Давление", Boolean(false));
    WriteAt("2016-08-11 14:05:09");
    values[0]->SetFloat(0.000012345f);
    values[1]->SetBoolean(true);
    WriteAt("2016-08-11 14:05:10");

    EXPECT_EQ(recorder.FileName(), L"2016.08.11.csv");
    EXPECT_EQ(recorder.StatusText(), L"2016.08.11.csv");
    EXPECT_EQ(ReadFileBytes(L"2016.08.11.csv"),
              "\"" + kTime + "\";\"U1 (D1)\";\"P (\xC4\xE0\xE2\xEB\xE5\xED\xE8\xE5)\"\r\n"
              "\"11.08.2016 14:05:09\";1,23457;0\r\n"
              "\"11.08.2016 14:05:10\";1,2345e-005;1\r\n");
}

TEST_F(CsvRecorderTest, NumbersFollowTheTagAndTheRegionalFormat)
{
    EXPECT_EQ(CsvNumber(1e6f), "1e+006");
    EXPECT_EQ(CsvNumber(-2.5f), "-2,5");
    EXPECT_EQ(CsvNumber(0.0f), "0");
    EXPECT_EQ(CsvNumber(123456.7f), "123457");
    _set_output_format(_TWO_DIGIT_EXPONENT);  // as the chart control leaves it after a paint
    EXPECT_EQ(CsvNumber(1e6f), "1e+006");
    EXPECT_EQ(CsvNumber(1.2345e-5f), "1,2345e-005");
    _set_output_format(0);
    CValue integer, number, text;
    integer.SetInteger(-7);
    number.SetDouble(1.0 / 3.0);
    text.Clear();
    text.tag = TagString;
    text.text = L"abc";
    AddVariable(L"N", L"", integer);
    AddVariable(L"D", L"", number);
    AddVariable(L"S", L"", text);
    WriteAt("2016-08-11 14:05:09");
    EXPECT_EQ(ReadFileBytes(L"2016.08.11.csv").substr(std::string("\"" + kTime + "\";\"N ()\";\"D ()\";\"S ()\"\r\n").size()),
              "\"11.08.2016 14:05:09\";-7;0,333333;0\r\n");
}

TEST_F(CsvRecorderTest, MidnightStartsTheFileOfTheNewDayWithItsHeader)
{
    AddVariable(L"U1", L"D1", Float(1));
    WriteAt("2016-08-11 23:59:59");
    WriteAt("2016-08-12 00:00:00");
    WriteAt("2016-08-12 00:00:01");
    const std::string header = "\"" + kTime + "\";\"U1 (D1)\"\r\n";
    EXPECT_EQ(ReadFileBytes(L"2016.08.11.csv"), header + "\"11.08.2016 23:59:59\";1\r\n");
    EXPECT_EQ(ReadFileBytes(L"2016.08.12.csv"), header + "\"12.08.2016 00:00:00\";1\r\n\"12.08.2016 00:00:01\";1\r\n");
    EXPECT_EQ(recorder.FileName(), L"2016.08.12.csv");
}

TEST_F(CsvRecorderTest, HourlyFilesCarryTheHourWithTwoDigits)
{
    AddVariable(L"U1", L"D1", Float(2));
    WriteAt("2016-08-11 09:59:59", "%Y.%m.%d %H");
    WriteAt("2016-08-11 10:00:00", "%Y.%m.%d %H");
    const std::string header = "\"" + kTime + "\";\"U1 (D1)\"\r\n";
    EXPECT_EQ(ReadFileBytes(L"2016.08.11 09.csv"), header + "\"11.08.2016 09:59:59\";2\r\n");
    EXPECT_EQ(ReadFileBytes(L"2016.08.11 10.csv"), header + "\"11.08.2016 10:00:00\";2\r\n");
}

TEST_F(CsvRecorderTest, ExistingFileIsAppendedWithoutHeader)
{
    WriteFileBytes(L"2016.08.11.csv", "earlier run\r\n");
    AddVariable(L"U1", L"D1", Float(3));
    WriteAt("2016-08-11 14:05:09");
    EXPECT_EQ(ReadFileBytes(L"2016.08.11.csv"), "earlier run\r\n\"11.08.2016 14:05:09\";3\r\n");
}

TEST_F(CsvRecorderTest, LockedFileKeepsItsLinesUntilItOpensAgain)
{
    AddVariable(L"U1", L"D1", Float(1));
    WriteAt("2016-08-11 14:05:09");
    HANDLE lock = Lock(L"2016.08.11.csv");
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    values[0]->SetFloat(2);
    WriteAt("2016-08-11 14:05:10");
    values[0]->SetFloat(3);
    WriteAt("2016-08-11 14:05:11");
    EXPECT_EQ(recorder.PendingLines(), 2u);
    EXPECT_EQ(recorder.StatusText(), L"2016.08.11.csv (нет доступа, строк в очереди: 2)");
    ::CloseHandle(lock);

    values[0]->SetFloat(4);
    WriteAt("2016-08-11 14:05:12");
    EXPECT_EQ(recorder.PendingLines(), 0u);
    EXPECT_EQ(recorder.StatusText(), L"2016.08.11.csv");
    EXPECT_EQ(ReadFileBytes(L"2016.08.11.csv"),
              "\"" + kTime + "\";\"U1 (D1)\"\r\n\"11.08.2016 14:05:09\";1\r\n\"11.08.2016 14:05:10\";2\r\n"
              "\"11.08.2016 14:05:11\";3\r\n\"11.08.2016 14:05:12\";4\r\n");
}

TEST_F(CsvRecorderTest, FileThatCannotBeCreatedGetsHeaderAndLinesLater)
{
    AddVariable(L"U1", L"D1", Float(5));
    ASSERT_TRUE(::CreateDirectoryW(L"2016.08.11.csv", nullptr));  // stands in for a missing permission
    WriteAt("2016-08-11 14:05:09");
    EXPECT_EQ(recorder.PendingLines(), 1u);
    ASSERT_TRUE(::RemoveDirectoryW(L"2016.08.11.csv"));
    WriteAt("2016-08-11 14:05:10");
    EXPECT_EQ(ReadFileBytes(L"2016.08.11.csv"),
              "\"" + kTime + "\";\"U1 (D1)\"\r\n\"11.08.2016 14:05:09\";5\r\n\"11.08.2016 14:05:10\";5\r\n");
}

TEST_F(CsvRecorderTest, LockedOldHourDoesNotHoldBackTheNewHour)
{
    AddVariable(L"U1", L"D1", Float(6));
    HANDLE lock = Lock(L"2016.08.11 09.csv");
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    WriteAt("2016-08-11 09:59:59", "%Y.%m.%d %H");
    WriteAt("2016-08-11 10:00:00", "%Y.%m.%d %H");
    EXPECT_EQ(recorder.PendingLines(), 1u);
    EXPECT_EQ(ReadFileBytes(L"2016.08.11 10.csv"), "\"" + kTime + "\";\"U1 (D1)\"\r\n\"11.08.2016 10:00:00\";6\r\n");
    ::CloseHandle(lock);  // the lock left an empty file behind: it gets the header first
    WriteAt("2016-08-11 10:00:01", "%Y.%m.%d %H");
    EXPECT_EQ(recorder.PendingLines(), 0u);
    EXPECT_EQ(ReadFileBytes(L"2016.08.11 09.csv"), "\"" + kTime + "\";\"U1 (D1)\"\r\n\"11.08.2016 09:59:59\";6\r\n");
}

// Also a configuration without variables: the quoted time alone, 23 bytes a line.
TEST(CsvRecorderLimit, OldestWaitingLinesGoFirstBeyondTheByteLimitAndAreCounted)
{
    CScratchDir dir;
    ptime now;
    CCsvRecorder recorder([&] { return now; }, 3 * 23 + 22);
    CVariableList none;
    HANDLE lock = Lock(L"2016.08.11.csv");
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    for (const char* t : {"2016-08-11 14:00:01", "2016-08-11 14:00:02", "2016-08-11 14:00:03", "2016-08-11 14:00:04"}) {
        now = time_from_string(t);
        recorder.WriteCsvLine("%Y.%m.%d", none);
    }
    EXPECT_EQ(recorder.PendingLines(), 3u);
    EXPECT_EQ(recorder.StatusText(), L"2016.08.11.csv (нет доступа, строк в очереди: 3, потеряно: 1)");
    EXPECT_EQ(recorder.PendingReport(), L"Нет доступа к файлу записи 2016.08.11.csv, строк в очереди: 3, потеряно: 1\n");
    ::CloseHandle(lock);
    now = time_from_string("2016-08-11 14:00:05");
    recorder.WriteCsvLine("%Y.%m.%d", none);
    EXPECT_EQ(ReadFileBytes(L"2016.08.11.csv"), "\"" + kTime + "\"\r\n\"11.08.2016 14:00:02\"\r\n\"11.08.2016 14:00:03\"\r\n"
                                                "\"11.08.2016 14:00:04\"\r\n\"11.08.2016 14:00:05\"\r\n");
    // Written out, the held lines leave the count of the dropped ones in view.
    EXPECT_EQ(recorder.StatusText(), L"2016.08.11.csv (потеряно строк: 1)");
}

TEST(CsvHeldText, APartialWriteLeavesTheRestOfTheCutLineFirstAndNothingTwice)
{
    CHeldText held;
    held.Add(1, "a;1\r\n");
    held.Add(2, "b;22\r\n");
    held.Add(3, "c;333\r\n");
    held.Take(8);  // all of the first line, three bytes of the second
    EXPECT_EQ(held.Count(), 2u);
    EXPECT_EQ(held.WholeLines(), 1u);
    EXPECT_EQ(held.WholeBytes(), 7u);
    EXPECT_EQ(held.Chunk(1 << 20), "2\r\nc;333\r\n");
    EXPECT_EQ(held.Chunk(1), "2\r\n");
    held.Take(2);
    EXPECT_EQ(held.Chunk(1 << 20), "\nc;333\r\n");
    held.Take(8);
    EXPECT_EQ(held.Count(), 0u);
    EXPECT_EQ(held.WholeBytes(), 0u);
}

// The file was deleted while the rest of a cut line waited: the file made again starts with its
// header and the next whole line, never with the rest of a line whose start went with the old file.
TEST(CsvHeldText, AFileMadeAgainStartsWithItsHeader)
{
    CHeldText held;
    held.Add(1, "b;22\r\n");
    held.Add(2, "c;333\r\n");
    held.Take(3);
    held.StartFile("header\r\n");
    EXPECT_EQ(held.Chunk(1 << 20), "header\r\nc;333\r\n");
}
