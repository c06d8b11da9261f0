// Display power broadcasts as the system delivers them, for the window tests.
#pragma once

#include <windows.h>

#include <cstring>
#include <vector>

namespace veskaro::testing {

// The console display state setting, written out here on purpose: the program's own copy
// of these bytes is what the tests check.
inline const GUID kConsoleDisplayState = {
    0x6FE69556, 0x704A, 0x47A0, {0x8F, 0x24, 0xC2, 0x8D, 0x93, 0x6F, 0xDA, 0x47}};

constexpr BYTE kDisplayOff = 0;
constexpr BYTE kDisplayOn = 1;
constexpr BYTE kDisplayDimmed = 2;

// A POWERBROADCAST_SETTING block holding `data`; its DataLength may be told to lie.
class PowerSettingBlock
{
public:
    PowerSettingBlock(const GUID& setting, const std::vector<BYTE>& data)
        : m_bytes(sizeof(POWERBROADCAST_SETTING) + data.size(), 0)
    {
        auto* block = Get();
        block->PowerSetting = setting;
        block->DataLength = static_cast<DWORD>(data.size());
        if (!data.empty())
            std::memcpy(block->Data, data.data(), data.size());
    }
    POWERBROADCAST_SETTING* Get() { return reinterpret_cast<POWERBROADCAST_SETTING*>(m_bytes.data()); }
    LPARAM Param() { return reinterpret_cast<LPARAM>(Get()); }

private:
    std::vector<BYTE> m_bytes;
};

// Sends the display change to the window as the system would.
inline void SendDisplayState(HWND window, BYTE state)
{
    PowerSettingBlock block(kConsoleDisplayState, {state, 0, 0, 0});
    ::SendMessageW(window, WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, block.Param());
}

} // namespace veskaro::testing
