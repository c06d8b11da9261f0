// Reading the files the program writes, for the window and end-to-end tests.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace veskaro::testing {

// The whole file, read while others may hold it open; empty when it cannot be opened.
std::string ReadFileBytes(const std::wstring& path);

// How many times the UTF-16LE form of `text` occurs in `bytes`, e.g. a log's "\tTurn Off\n".
int CountUtf16(const std::string& bytes, const std::wstring& text);

// Waits, running this thread's messages, until the condition holds or the time is up.
// For conditions no event signals (another process's window or file changing).
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs);

} // namespace veskaro::testing
