// What the window and end-to-end tests share: the name they run the program under, and
// reading the files the program writes.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace veskaro::testing {

// The application name every test runs the program under. The settings key, the Run value,
// the window title and the start-up mutex follow the name, so a user's own Veskaro running
// beside the tests is never read, changed, counted or closed.
inline constexpr wchar_t kTestAppName[] = L"VeskaroTest";

// Whether this process runs under Wine. What acts on the session itself (a real lock, the
// user's locale) is tried only there.
bool RunningUnderWine();

// The whole file, read while others may hold it open; empty when it cannot be opened.
std::string ReadFileBytes(const std::wstring& path);

// How many times the UTF-16LE form of `text` occurs in `bytes`, e.g. a log's "\tTurn Off\n".
int CountUtf16(const std::string& bytes, const std::wstring& text);

// Waits, running this thread's messages, until the condition holds or the time is up.
// For conditions no event signals (another process's window or file changing).
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs);

} // namespace veskaro::testing
