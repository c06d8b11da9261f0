#include "app/ModulePath.h"

#include <windows.h>

#include <vector>

namespace veskaro {

std::wstring GetModulePath()
{
    // The buffer grows until the path fits: long paths exceed MAX_PATH.
    std::vector<wchar_t> buffer(MAX_PATH + 1, L'\0');
    for (;;)
    {
        const DWORD size = static_cast<DWORD>(buffer.size());
        const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), size);
        if (length == 0)
            return std::wstring();
        if (length < size)
            return std::wstring(buffer.data(), length);
        if (buffer.size() >= 32768 + 1)
            return std::wstring(buffer.data(), length);
        buffer.assign(buffer.size() * 2, L'\0');
    }
}

} // namespace veskaro
