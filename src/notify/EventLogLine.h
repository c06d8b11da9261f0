#pragma once

#include <string>

namespace veskaro
{

// One line of the event log: "<timestamp>\tTurn Off\n" or "<timestamp>\tTurn On\n".
std::wstring EventLogLine(const std::wstring& timestamp, bool turnOff);

// The text as UTF-16LE bytes, without byte order mark or terminator, as the
// log file stores it.
std::string Utf16LeBytes(const std::wstring& text);

} // namespace veskaro
