// The Settings dialog: the options shared by every instance, and start at login.
#pragma once

#include "app/AppEnvironment.h"
#include "framework/Dialog.h"

#include <windows.h>

#include <string>

namespace veskaro {

class CDlgSettings : public CDialogBase
{
public:
    explicit CDlgSettings(AppEnvironment& environment);

    HICON m_hIcon = nullptr; // a shared resource icon: never destroyed
    int m_bAllowMultipleInstances = 0;
    int m_bStartAtLogin = 0;
    int m_bAutoTurnOffWhenLocked = 0;
    int m_iLockTurnOffDelay = 0;
    std::wstring m_strLogFilePath;
    int m_bKeepALog = 0;
    int m_bSpeakMonitorON = 0;
    int m_bSpeakMonitorOFF = 0;
    std::wstring m_sMonitorOnText;
    std::wstring m_sMonitorOffText;
    int m_bKeepMonitorsOff = 0;
    int m_bWakeForTurnOn = 0;
    int m_bKeepMonitorsOnWhenScheduled = 0;
    int m_bTurnOffWhenIdle = 0;
    int m_iIdleMinutes = 0;
    int m_bTurnOffAgainWhenIdle = 0;
    int m_bFadeBeforeIdleTurnOff = 0;
    int m_bNoticeBeforeTurnOff = 0;
    int m_iNoticeMinutes = 0;

protected:
    void DoDataExchange(CDataExchange& dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnSelectLogFile();
    BOOL OnHelpInfo();

    AppEnvironment& m_env;
};

} // namespace veskaro
