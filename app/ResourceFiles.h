#pragma once
#include <cstdint>

// One file that the program carries as a resource and writes out when it is missing.
struct CResourceFileEntry {
    const char* key;           // null ends a table
    const char* fileName;      // relative to the current directory
    const char* resourceType;
    int resourceId;
    int windowsVersion;        // 0: any; otherwise (minor << 8) | major
    const char* moduleName;    // null: the program itself
};

// The program's table: "Sound" is the alarm clip "cartoon.mp3".
extern const CResourceFileEntry kResourceFiles[];

// Puts resource files into the current directory on demand. A file that already exists is used
// as it is, whatever it holds: the operator may replace the clip with one of his own.
class CResourceFiles {
public:
    explicit CResourceFiles(const CResourceFileEntry* table = kResourceFiles);

    // The full path of the key's file (extracted first when missing), or null when the table
    // has no entry for the key on this Windows version. The text lives until the next call.
    const char* FilePath(const char* key);

private:
    const CResourceFileEntry* Find(const char* key) const;
    static void Extract(const CResourceFileEntry& entry);

    const CResourceFileEntry* m_table;
    uint16_t m_version;
    char m_path[512];
};
