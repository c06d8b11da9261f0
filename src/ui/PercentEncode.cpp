#include "ui/PercentEncode.h"

namespace veskaro {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsUnreserved(char32_t c)
{
    return (c >= U'A' && c <= U'Z') || (c >= U'a' && c <= U'z') || (c >= U'0' && c <= U'9') || c == U'-' ||
           c == U'.' || c == U'_' || c == U'~';
}

bool IsHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// The code point at text[i]; advances i past it. wchar_t is UTF-16 on Windows and
// UTF-32 elsewhere, so pairs are joined wherever they occur.
char32_t NextCodePoint(const std::wstring& text, std::size_t& i)
{
    const char32_t c = static_cast<char32_t>(text[i++]);
    if (IsHighSurrogate(c) && i < text.size())
    {
        const char32_t low = static_cast<char32_t>(text[i]);
        if (IsLowSurrogate(low))
        {
            ++i;
            return 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        }
    }
    if (IsHighSurrogate(c) || IsLowSurrogate(c) || c > 0x10FFFF)
        return kReplacement;
    return c;
}

void AppendByte(std::wstring& out, unsigned byte)
{
    static constexpr wchar_t kHex[] = L"0123456789ABCDEF";
    out.push_back(L'%');
    out.push_back(kHex[(byte >> 4) & 0xF]);
    out.push_back(kHex[byte & 0xF]);
}

void AppendUtf8(std::wstring& out, char32_t c)
{
    if (c < 0x80)
    {
        AppendByte(out, c);
    }
    else if (c < 0x800)
    {
        AppendByte(out, 0xC0 | (c >> 6));
        AppendByte(out, 0x80 | (c & 0x3F));
    }
    else if (c < 0x10000)
    {
        AppendByte(out, 0xE0 | (c >> 12));
        AppendByte(out, 0x80 | ((c >> 6) & 0x3F));
        AppendByte(out, 0x80 | (c & 0x3F));
    }
    else
    {
        AppendByte(out, 0xF0 | (c >> 18));
        AppendByte(out, 0x80 | ((c >> 12) & 0x3F));
        AppendByte(out, 0x80 | ((c >> 6) & 0x3F));
        AppendByte(out, 0x80 | (c & 0x3F));
    }
}

} // namespace

std::wstring PercentEncode(const std::wstring& text)
{
    std::wstring out;
    out.reserve(text.size() * 3);
    for (std::size_t i = 0; i < text.size();)
    {
        const char32_t c = NextCodePoint(text, i);
        if (IsUnreserved(c))
            out.push_back(static_cast<wchar_t>(c));
        else
            AppendUtf8(out, c);
    }
    return out;
}

} // namespace veskaro
