#include "ResourceFiles.h"
#include "ScratchDir.h"
#include "SoundResource.h"
#include <gtest/gtest.h>
#include <cstdlib>

namespace {

// The clip as this test program carries it (it links the same resource script as orvex).
std::string ClipResource()
{
    HRSRC found = ::FindResourceA(nullptr, MAKEINTRESOURCEA(IDR_ALARM_CLIP), "MP3");
    if (!found)
        return {};
    const char* data = static_cast<const char*>(::LockResource(::LoadResource(nullptr, found)));
    return std::string(data, ::SizeofResource(nullptr, found));
}

std::string FullPath(const char* name)
{
    char path[512];
    return ::_fullpath(path, name, sizeof path);
}

int RunningVersion()
{
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    ::GetVersionExW(&info);
    return int((info.dwMinorVersion << 8) | (info.dwMajorVersion & 0xFF));
}

}  // namespace

TEST(ResourceFiles, MissingClipIsExtractedWhole)
{
    CScratchDir dir;
    const std::string clip = ClipResource();
    ASSERT_GT(clip.size(), 10000u);
    EXPECT_EQ(clip.substr(0, 3), "ID3");

    CResourceFiles files;
    const char* path = files.FilePath("Sound");
    ASSERT_NE(path, nullptr);
    EXPECT_EQ(std::string(path), FullPath("cartoon.mp3"));
    EXPECT_EQ(ReadFileBytes(L"cartoon.mp3"), clip);
}

TEST(ResourceFiles, ExistingForeignClipIsKept)
{
    CScratchDir dir;
    WriteFileBytes(L"cartoon.mp3", "not the stored clip");
    CResourceFiles files;
    ASSERT_NE(files.FilePath("Sound"), nullptr);
    EXPECT_EQ(ReadFileBytes(L"cartoon.mp3"), "not the stored clip");
}

TEST(ResourceFiles, KeysAreExactAndVersionSelectorsFilter)
{
    CScratchDir dir;
    const CResourceFileEntry table[] = {
        {"Other", "other.bin", "MP3", IDR_ALARM_CLIP, 0xFFFF, nullptr},  // no such Windows
        {"Other", "mine.bin", "MP3", IDR_ALARM_CLIP, RunningVersion(), nullptr},
        {nullptr, nullptr, nullptr, 0, 0, nullptr},
    };
    CResourceFiles files(table);
    EXPECT_EQ(files.FilePath("other"), nullptr);
    EXPECT_EQ(files.FilePath("Sound"), nullptr);
    const char* path = files.FilePath("Other");
    ASSERT_NE(path, nullptr);
    EXPECT_EQ(std::string(path), FullPath("mine.bin"));
    EXPECT_EQ(ReadFileBytes(L"mine.bin"), ClipResource());
    EXPECT_EQ(::GetFileAttributesW(L"other.bin"), INVALID_FILE_ATTRIBUTES);
}

TEST(ResourceFiles, MissingResourceWritesNoFile)
{
    CScratchDir dir;
    const CResourceFileEntry table[] = {
        {"Lost", "lost.mp3", "MP3", 999, 0, nullptr},
        {"Elsewhere", "elsewhere.mp3", "MP3", IDR_ALARM_CLIP, 0, "kernel32.dll"},
        {nullptr, nullptr, nullptr, 0, 0, nullptr},
    };
    CResourceFiles files(table);
    ASSERT_NE(files.FilePath("Lost"), nullptr);
    ASSERT_NE(files.FilePath("Elsewhere"), nullptr);
    EXPECT_EQ(::GetFileAttributesW(L"lost.mp3"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(::GetFileAttributesW(L"elsewhere.mp3"), INVALID_FILE_ATTRIBUTES);
}
