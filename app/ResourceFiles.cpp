#include "ResourceFiles.h"
#include "Handle.h"
#include "SoundResource.h"
#include <windows.h>
#include <cstdlib>
#include <cstring>

const CResourceFileEntry kResourceFiles[] = {
    {"Sound", "cartoon.mp3", "MP3", IDR_ALARM_CLIP, 0, nullptr},
    {nullptr, nullptr, nullptr, 0, 0, nullptr},
};

namespace {

uint16_t RunningWindowsVersion()
{
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    ::GetVersionExW(&info);
    return uint16_t((info.dwMinorVersion << 8) | (info.dwMajorVersion & 0xFF));
}

}  // namespace

CResourceFiles::CResourceFiles(const CResourceFileEntry* table)
    : m_table(table), m_version(RunningWindowsVersion()), m_path{}
{
}

const char* CResourceFiles::FilePath(const char* key)
{
    const CResourceFileEntry* entry = Find(key);
    if (!entry)
        return nullptr;
    if (::GetFileAttributesA(entry->fileName) == INVALID_FILE_ATTRIBUTES)
        Extract(*entry);
    return ::_fullpath(m_path, entry->fileName, sizeof m_path);
}

const CResourceFileEntry* CResourceFiles::Find(const char* key) const
{
    for (const CResourceFileEntry* e = m_table; e->key; ++e)
        if (std::strcmp(e->key, key) == 0 && (e->windowsVersion == 0 || e->windowsVersion == m_version))
            return e;
    return nullptr;
}

// Writes nothing when the resource is missing: an empty file would stand in for the clip in
// every later run. A file that could not be written whole is removed for the same reason.
void CResourceFiles::Extract(const CResourceFileEntry& entry)
{
    HMODULE module = ::GetModuleHandleA(entry.moduleName);
    HRSRC found = module ? ::FindResourceA(module, MAKEINTRESOURCEA(entry.resourceId), entry.resourceType) : nullptr;
    HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data)
        return;
    const DWORD size = ::SizeofResource(module, found);
    CHandle file(::CreateFileA(entry.fileName, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid())
        return;
    DWORD written = 0;
    if (!::WriteFile(file, data, size, &written, nullptr) || written != size) {
        file.Close();
        ::DeleteFileA(entry.fileName);
    }
}
