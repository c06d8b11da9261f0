#include "notify/EventLogLine.h"

namespace veskaro
{

namespace
{

void AppendUnit(std::string& bytes, unsigned long unit)
{
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>((unit >> 8) & 0xFF));
}

} // namespace

std::wstring EventLogLine(const std::wstring& timestamp, bool turnOff)
{
    return timestamp + L"\t" + (turnOff ? L"Turn Off" : L"Turn On") + L"\n";
}

std::string Utf16LeBytes(const std::wstring& text)
{
    std::string bytes;
    bytes.reserve(text.size() * 2);
    for (const wchar_t c : text)
    {
        // Where wchar_t is 16 bits each one already is a UTF-16 code unit.
        // Where it is 32 bits (the host build) a character beyond the BMP is
        // split into a surrogate pair rather than truncated, and a value that
        // is no character at all (negative or past U+10FFFF) becomes U+FFFD.
        const unsigned long value = static_cast<unsigned long>(c);
        if (value <= 0xFFFF)
        {
            AppendUnit(bytes, value);
        }
        else if (value <= 0x10FFFF)
        {
            const unsigned long v = value - 0x10000;
            AppendUnit(bytes, 0xD800 + (v >> 10));
            AppendUnit(bytes, 0xDC00 + (v & 0x3FF));
        }
        else
        {
            AppendUnit(bytes, 0xFFFD);
        }
    }
    return bytes;
}

} // namespace veskaro
