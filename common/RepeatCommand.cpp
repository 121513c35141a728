#include "RepeatCommand.h"
#include <cwchar>
#include <vector>

namespace {
std::vector<std::wstring> SplitWords(const std::wstring& line)
{
    std::vector<std::wstring> words;
    const wchar_t* separators = L" \n";
    size_t start = line.find_first_not_of(separators);
    while (start != std::wstring::npos) {
        size_t end = line.find_first_of(separators, start);
        words.push_back(line.substr(start, end == std::wstring::npos ? end : end - start));
        start = line.find_first_not_of(separators, end);
    }
    return words;
}
}  // namespace

RepeatRequest ParseRepeat(const std::wstring& line)
{
    std::vector<std::wstring> words = SplitWords(line);
    RepeatRequest request;
    if (words.size() > 1)
        request.count = _wtoi(words[1].c_str());
    if (words.size() > 2)
        request.command = words[2];
    return request;
}

std::wstring MaskWideCharacters(std::wstring reply)
{
    for (wchar_t& c : reply) {
        if (unsigned(c) > 1000)
            c = L'.';
    }
    return reply;
}
