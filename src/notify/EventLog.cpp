#include "notify/EventLog.h"

#include "app/SettingsStore.h"
#include "framework/Handles.h"
#include "framework/OleDateTime.h"
#include "framework/OutsideWorld.h"
#include "notify/EventLogLine.h"

namespace veskaro {

namespace {

// Another instance holds the file only for the moment it writes its own line.
constexpr ULONGLONG kHeldFileRetryMs = 250;
constexpr DWORD kHeldFileStepMs = 10;

bool IsHeldByOther(DWORD error)
{
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

// A read-only file stays as it is. The system refuses to open one for writing anyway, except
// to a process it lets past the attribute (Wine run as root, for one).
bool IsReadOnlyFile(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

// Exclusive, created when absent, content kept. A file held by someone else is
// tried again for a short while; any other failure gives up at once.
UniqueFile OpenForAppend(const std::wstring& path)
{
    if (IsReadOnlyFile(path))
        return UniqueFile();
    const ULONGLONG start = ::GetTickCount64();
    for (;;)
    {
        UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                      nullptr));
        if (file || !IsHeldByOther(::GetLastError()) || ::GetTickCount64() - start >= kHeldFileRetryMs)
            return file;
        ::Sleep(kHeldFileStepMs);
    }
}

} // namespace

void AppendEventLog(ISettingsStore& store, IOutsideWorld& outside, bool turnOff)
{
    if (kKeepALog.Read(store) == 0)
        return;
    const std::wstring path = kLogFilePath.Read(store);
    if (path.empty())
        return;

    UniqueFile file = OpenForAppend(path);
    if (!file)
        return;
    // A pipe, console or device is no log: a write to a pipe that is never read blocks for good.
    if (::GetFileType(file.Get()) != FILE_TYPE_DISK)
        return;

    LARGE_INTEGER zero{};
    if (!::SetFilePointerEx(file.Get(), zero, nullptr, FILE_END))
        return;

    // One write for the whole line, so that a line is never split by another writer. Here
    // wchar_t is a UTF-16 code unit held little-endian: the line's memory is the file's bytes.
    static_assert(sizeof(wchar_t) == 2, "UTF-16 code units");
    const std::wstring line = EventLogLine(DateTimeText(COleDateTime::FromTime64(outside.Now())), turnOff);
    DWORD written = 0;
    ::WriteFile(file.Get(), line.data(), static_cast<DWORD>(line.size() * sizeof(wchar_t)), &written, nullptr);
}

} // namespace veskaro
