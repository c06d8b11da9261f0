// The display power-state watch and the monitor state list.
#include "ui/VeskaroDlg.h"

#include "app/SettingsStore.h"
#include "framework/OutsideWorld.h"
#include "res/resource.h"

#include <cstring>

namespace veskaro {

namespace {

// GUID_CONSOLE_DISPLAY_STATE, defined here rather than taken from an import library.
const GUID kGuidConsoleDisplayState = {0x6FE69556, 0x704A, 0x47A0, {0x8F, 0x24, 0xC2, 0x8D, 0x93, 0x6F, 0xDA, 0x47}};
// GUID_MONITOR_POWER_ON: Windows 7 has no console display state and says the same here.
const GUID kGuidMonitorPowerOn = {0x02731015, 0x4510, 0x4526, {0x99, 0xE6, 0xE5, 0xA1, 0x7E, 0xBD, 0x1A, 0xEA}};

constexpr BYTE kDisplayOff = 0;
constexpr BYTE kDisplayOn = 1;
constexpr LRESULT kMaxMonitorStateEntries = 3;

const wchar_t kWatchFailedText[] = L"Failed to Start Monitoring Power of Display Monitor for Speaking Voice Alert(s) "
                                   L"as Configured in Settings of this Software.";

} // namespace

void CVeskaroDlg::StartDisplayPowerWatch()
{
    const GUID& setting = m_outside.IsWindows8OrGreater() ? kGuidConsoleDisplayState : kGuidMonitorPowerOn;
    m_hPowerNotify = m_outside.RegisterPowerSettingNotification(m_hWnd, setting, DEVICE_NOTIFY_WINDOW_HANDLE);
    if (!m_hPowerNotify)
    {
        // Without a voice alert nobody misses the notifications enough to be told.
        if (kSpeakMonitorOn.Read(m_env.store) != 0 || kSpeakMonitorOff.Read(m_env.store) != 0)
            m_outside.MessageBox(m_hWnd, kWatchFailedText, m_env.applicationName, MB_OK | MB_ICONERROR);
    }
    ::EnableWindow(m_ctlMonitorStateList.m_hWnd, m_hPowerNotify != nullptr);
}

void CVeskaroDlg::StopDisplayPowerWatch()
{
    if (m_hPowerNotify)
        m_outside.UnregisterPowerSettingNotification(m_hPowerNotify);
    m_hPowerNotify = nullptr;
}

void CVeskaroDlg::OnPowerBroadcast(WPARAM event, LPARAM data)
{
    switch (event)
    {
    case PBT_APMSUSPEND: return m_turnOff.OnSuspend();
    case PBT_APMRESUMEAUTOMATIC: return m_turnOff.OnUserMayBeBack(), m_scheduledPower.OnResume();
    case PBT_APMRESUMESUSPEND: return m_turnOff.OnUserMayBeBack(), m_scheduledPower.OnUserResume();
    case PBT_APMPOWERSTATUSCHANGE: return m_scheduledPower.OnPowerStatusChange();
    default: break;
    }
    if (event != PBT_POWERSETTINGCHANGE || data == 0)
        return;
    const auto* setting = reinterpret_cast<const POWERBROADCAST_SETTING*>(data);
    // A block without its data byte is not read past its end.
    if (setting->DataLength < 1 ||
        (std::memcmp(&setting->PowerSetting, &kGuidConsoleDisplayState, sizeof(GUID)) != 0 &&
         std::memcmp(&setting->PowerSetting, &kGuidMonitorPowerOn, sizeof(GUID)) != 0))
        return;
    const BYTE state = setting->Data[0];
    if (state != kDisplayOn && state != kDisplayOff)
        return; // dimmed, or a state we do not know
    const bool on = state == kDisplayOn;
    AddMonitorStateEntry(on);
    SpeakMonitorState(on);
    m_turnOff.OnDisplayState(on);
}

void CVeskaroDlg::AddMonitorStateEntry(bool on)
{
    const std::wstring timestamp = DateTimeText(COleDateTime::FromTime64(m_outside.Now()));
    const std::wstring entry = timestamp + (on ? L" : Monitor On" : L" : Monitor Off");
    m_ctlMonitorStateList.Send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
    if (m_ctlMonitorStateList.Send(LB_GETCOUNT) > kMaxMonitorStateEntries)
        m_ctlMonitorStateList.Send(LB_DELETESTRING, 0);
}

void CVeskaroDlg::OnClearMonitorStateList()
{
    m_ctlMonitorStateList.Send(LB_RESETCONTENT);
}

} // namespace veskaro
