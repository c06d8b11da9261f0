#include "common/TestFiles.h"

#include "framework/Handles.h"
#include "notify/EventLogLine.h"

namespace veskaro::testing {

bool RunningUnderWine()
{
    HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

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

namespace veskaro::testing {

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs)
{
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    for (;;)
    {
        if (condition())
            return true;
        if (::GetTickCount64() >= deadline)
            return false;
        // Wake for this thread's messages or after a short while, whichever is first.
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        MSG message{};
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
}

} // namespace veskaro::testing
