#include "common/TestFiles.h"

#include "framework/Handles.h"
#include "notify/EventLogLine.h"

namespace veskaro::testing {

std::string ReadFileBytes(const std::wstring& path)
{
    UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    std::string bytes;
    char buffer[4096];
    DWORD read = 0;
    while (file && ::ReadFile(file.Get(), buffer, sizeof(buffer), &read, nullptr) && read > 0)
        bytes.append(buffer, read);
    return bytes;
}

int CountUtf16(const std::string& bytes, const std::wstring& text)
{
    const std::string word = Utf16LeBytes(text);
    int count = 0;
    for (size_t at = bytes.find(word); at != std::string::npos; at = bytes.find(word, at + word.size()))
        ++count;
    return count;
}

} // namespace veskaro::testing
