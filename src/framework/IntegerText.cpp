#include "framework/IntegerText.h"

#include <climits>

namespace veskaro {

namespace {
bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }
} // namespace

bool ParseInt32(const std::wstring& text, int& value)
{
    size_t i = 0;
    const size_t n = text.size();
    while (i < n && IsBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == L'+' || text[i] == L'-'))
        negative = text[i++] == L'-';

    const size_t firstDigit = i;
    long long magnitude = 0;
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    for (; i < n && text[i] >= L'0' && text[i] <= L'9'; ++i)
    {
        magnitude = magnitude * 10 + (text[i] - L'0');
        if (magnitude > limit)
            return false;
    }
    if (i == firstDigit)
        return false;
    while (i < n && IsBlank(text[i]))
        ++i;
    if (i != n)
        return false;
    value = static_cast<int>(negative ? -magnitude : magnitude);
    return true;
}

std::wstring DecimalText(int value)
{
    // Unsigned arithmetic, so that INT_MIN has a magnitude too.
    const unsigned int asUnsigned = static_cast<unsigned int>(value);
    unsigned int magnitude = value < 0 ? 0u - asUnsigned : asUnsigned;
    wchar_t digits[12]; // "-2147483648" is the longest
    wchar_t* const end = digits + 12;
    wchar_t* first = end;
    do
    {
        *--first = static_cast<wchar_t>(L'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0)
        *--first = L'-';
    return std::wstring(first, end);
}

} // namespace veskaro
