#pragma once

#include <string>

namespace veskaro
{

// One line of the event log: "<timestamp>\tTurn Off\n" or "<timestamp>\tTurn On\n".
std::wstring EventLogLine(const std::wstring& timestamp, bool turnOff);

// The text as UTF-16LE bytes, without byte order mark or terminator, as the
// log file stores it. Inline, so that only the tests that read the file compile
// it: the executable writes a line's memory as it is and keeps the library's
// narrow string out.
inline std::string Utf16LeBytes(const std::wstring& text)
{
    std::string bytes;
    bytes.reserve(text.size() * 2);
    const auto appendUnit = [&bytes](unsigned long unit) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>((unit >> 8) & 0xFF));
    };
    for (const wchar_t c : text)
    {
        // Where wchar_t is 16 bits each one already is a UTF-16 code unit.
        // Where it is 32 bits (the host build) a character beyond the BMP is
        // split into a surrogate pair rather than truncated, and a value that
        // is no character at all (negative or past U+10FFFF) becomes U+FFFD.
        const unsigned long value = static_cast<unsigned long>(c);
        if (value <= 0xFFFF)
        {
            appendUnit(value);
        }
        else if (value <= 0x10FFFF)
        {
            const unsigned long v = value - 0x10000;
            appendUnit(0xD800 + (v >> 10));
            appendUnit(0xDC00 + (v & 0x3FF));
        }
        else
        {
            appendUnit(0xFFFD);
        }
    }
    return bytes;
}

} // namespace veskaro
