#include "settings/DlgSettings.h"

#include "app/SettingsStore.h"
#include "framework/DataExchange.h"
#include "framework/OutsideWorld.h"
#include "res/resource.h"
#include "settings/StartAtLogin.h"
#include "ui/Links.h"

#include <commdlg.h>

namespace veskaro {

CDlgSettings::CDlgSettings(AppEnvironment& environment)
    : CDialogBase(IDD_SETTINGS, environment.outside, environment.applicationName), m_env(environment)
{
}

void CDlgSettings::DoDataExchange(CDataExchange& dx)
{
    DDX_Check(dx, IDC_ALLOW_MULTIPLE_INSTANCES, m_bAllowMultipleInstances);
    DDX_Check(dx, IDC_START_AT_LOGIN, m_bStartAtLogin);
    DDX_Check(dx, IDC_AUTO_TURN_OFF_WHEN_LOCKED, m_bAutoTurnOffWhenLocked);
    DDX_Text(dx, IDC_LOCK_TURN_OFF_DELAY, m_iLockTurnOffDelay);
    DDX_Text(dx, IDC_LOG_FILE_PATH, m_strLogFilePath);
    DDX_Check(dx, IDC_KEEP_A_LOG, m_bKeepALog);
    DDX_Check(dx, IDC_SPEAK_MONITOR_ON, m_bSpeakMonitorON);
    DDX_Check(dx, IDC_SPEAK_MONITOR_OFF, m_bSpeakMonitorOFF);
    DDX_Text(dx, IDC_MONITOR_ON_TEXT, m_sMonitorOnText);
    DDX_Text(dx, IDC_MONITOR_OFF_TEXT, m_sMonitorOffText);
    DDX_Check(dx, IDC_KEEP_MONITORS_OFF, m_bKeepMonitorsOff);
    DDX_Check(dx, IDC_WAKE_FOR_TURN_ON, m_bWakeForTurnOn);
    DDX_Check(dx, IDC_KEEP_MONITORS_ON_WHEN_SCHEDULED, m_bKeepMonitorsOnWhenScheduled);
    DDX_Check(dx, IDC_TURN_OFF_WHEN_IDLE, m_bTurnOffWhenIdle);
    DDX_Text(dx, IDC_IDLE_MINUTES, m_iIdleMinutes);
    DDV_MinMaxInt(dx, IDC_IDLE_MINUTES, m_iIdleMinutes, kMinIdleMinutes, kMaxIdleMinutes);
    DDX_Check(dx, IDC_TURN_OFF_AGAIN_WHEN_IDLE, m_bTurnOffAgainWhenIdle);
    DDX_Check(dx, IDC_FADE_BEFORE_IDLE_TURN_OFF, m_bFadeBeforeIdleTurnOff);
    DDX_Check(dx, IDC_NOTICE_BEFORE_TURN_OFF, m_bNoticeBeforeTurnOff);
    DDX_Text(dx, IDC_NOTICE_MINUTES, m_iNoticeMinutes);
    DDV_MinMaxInt(dx, IDC_NOTICE_MINUTES, m_iNoticeMinutes, kMinNoticeMinutes, kMaxNoticeMinutes);
}

BOOL CDlgSettings::OnInitDialog()
{
    // Read afresh at every opening: another instance may have changed them.
    ISettingsStore& store = m_env.store;
    m_bAllowMultipleInstances = AsFlag(kAllowMultipleInstances.Read(store));
    m_bStartAtLogin = IsStartAtLoginEnabled(m_env.applicationName) ? 1 : 0;
    m_bAutoTurnOffWhenLocked = AsFlag(kAutoTurnOffWhenLocked.Read(store));
    m_iLockTurnOffDelay = kLockTurnOffDelay.Read(store);
    m_strLogFilePath = kLogFilePath.Read(store);
    m_bKeepALog = AsFlag(kKeepALog.Read(store));
    m_bSpeakMonitorON = AsFlag(kSpeakMonitorOn.Read(store));
    m_bSpeakMonitorOFF = AsFlag(kSpeakMonitorOff.Read(store));
    m_sMonitorOffText = kMonitorOffText.Read(store);
    m_sMonitorOnText = kMonitorOnText.Read(store);
    m_bKeepMonitorsOff = AsFlag(kKeepMonitorsOff.Read(store));
    m_bWakeForTurnOn = AsFlag(kWakeForTurnOn.Read(store));
    m_bKeepMonitorsOnWhenScheduled = AsFlag(kKeepMonitorsOnWhenScheduled.Read(store));
    m_bTurnOffWhenIdle = AsFlag(kTurnOffWhenIdle.Read(store));
    m_iIdleMinutes = ReadIdleMinutes(store);
    m_bTurnOffAgainWhenIdle = AsFlag(kTurnOffAgainWhenIdle.Read(store));
    m_bFadeBeforeIdleTurnOff = AsFlag(kFadeBeforeIdleTurnOff.Read(store));
    m_bNoticeBeforeTurnOff = AsFlag(kNoticeBeforeTurnOff.Read(store));
    m_iNoticeMinutes = ReadNoticeMinutes(store);

    CDialogBase::OnInitDialog();

    std::wstring user;
    if (!m_outside.GetUserName(user))
        user.clear();
    // An ampersand in the name is shown as one, not taken for the box's access key.
    std::wstring shownUser;
    for (const wchar_t c : user)
        shownUser.append(c == L'&' ? 2 : 1, c);
    const std::wstring startText = L"&Start this Application at User (" + shownUser + L") Login";
    ::SetDlgItemTextW(m_hWnd, IDC_START_AT_LOGIN, startText.c_str());

    // Edit boxes named by the check box before them rather than a label of their own.
    m_outside.SetAccessibleName(::GetDlgItem(m_hWnd, IDC_LOG_FILE_PATH), L"Log file");
    m_outside.SetAccessibleName(::GetDlgItem(m_hWnd, IDC_MONITOR_ON_TEXT), L"Phrase spoken when the monitors come on");
    m_outside.SetAccessibleName(::GetDlgItem(m_hWnd, IDC_MONITOR_OFF_TEXT), L"Phrase spoken when the monitors go off");
    m_outside.SetAccessibleName(::GetDlgItem(m_hWnd, IDC_IDLE_MINUTES), L"Idle minutes");
    m_outside.SetAccessibleName(::GetDlgItem(m_hWnd, IDC_NOTICE_MINUTES), L"Notice minutes");

    m_hIcon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
    ::SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    ::SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

    const std::wstring caption = L"Settings - " + m_env.applicationName;
    ::SetWindowTextW(m_hWnd, caption.c_str());
    return TRUE;
}

void CDlgSettings::OnOK()
{
    if (!UpdateData(true))
        return; // the message is shown and the focus is on the field; nothing is written

    ISettingsStore& store = m_env.store;
    kAllowMultipleInstances.Write(store, m_bAllowMultipleInstances);
    kAutoTurnOffWhenLocked.Write(store, m_bAutoTurnOffWhenLocked);
    kLockTurnOffDelay.Write(store, m_iLockTurnOffDelay);
    kLogFilePath.Write(store, m_strLogFilePath);
    kKeepALog.Write(store, m_bKeepALog);
    kSpeakMonitorOn.Write(store, m_bSpeakMonitorON);
    kSpeakMonitorOff.Write(store, m_bSpeakMonitorOFF);
    kMonitorOffText.Write(store, m_sMonitorOffText);
    kMonitorOnText.Write(store, m_sMonitorOnText);
    kKeepMonitorsOff.Write(store, m_bKeepMonitorsOff);
    kWakeForTurnOn.Write(store, m_bWakeForTurnOn);
    kKeepMonitorsOnWhenScheduled.Write(store, m_bKeepMonitorsOnWhenScheduled);
    kTurnOffWhenIdle.Write(store, m_bTurnOffWhenIdle);
    kIdleMinutes.Write(store, m_iIdleMinutes);
    kTurnOffAgainWhenIdle.Write(store, m_bTurnOffAgainWhenIdle);
    kFadeBeforeIdleTurnOff.Write(store, m_bFadeBeforeIdleTurnOff);
    kNoticeBeforeTurnOff.Write(store, m_bNoticeBeforeTurnOff);
    kNoticeMinutes.Write(store, m_iNoticeMinutes);

    // Every OK applies the box, so a moved executable is written with its new path.
    SetStartAtLogin(m_env.applicationName, m_bStartAtLogin != 0);
    EndDialog(IDOK);
}

void CDlgSettings::OnSelectLogFile()
{
    std::wstring path;
    if (!m_outside.ChooseSaveFile(m_hWnd, L"Text Files (*.txt)|*.txt||", L"txt",
                                  OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST, path))
        return;
    if (!UpdateData(true))
    {
        // The delay field was refused: keep what the user typed and show only the path.
        m_strLogFilePath = path;
        ::SetDlgItemTextW(m_hWnd, IDC_LOG_FILE_PATH, path.c_str());
        return;
    }
    m_strLogFilePath = path;
    UpdateData(false);
}

BOOL CDlgSettings::OnHelpInfo()
{
    OpenProductPage(m_outside);
    return TRUE;
}

INT_PTR CDlgSettings::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_COMMAND:
        // Escape and the close box arrive as IDCANCEL too.
        if (HIWORD(wParam) != BN_CLICKED)
            return FALSE;
        switch (LOWORD(wParam))
        {
        case IDOK: return OnOK(), TRUE;
        case IDCANCEL: return OnCancel(), TRUE;
        case IDC_SELECT_LOG_FILE: return OnSelectLogFile(), TRUE;
        default: return FALSE;
        }
    case WM_HELP: return Result(message, OnHelpInfo());
    default: return CDialogBase::HandleMessage(message, wParam, lParam);
    }
}

} // namespace veskaro
