// The main window: the hub that every command, timer and notification reaches.
// Its methods live in the folder of the subsystem they belong to.
#pragma once

#include "app/AppEnvironment.h"
#include "framework/Dialog.h"
#include "framework/Handles.h"
#include "framework/OleDateTime.h"
#include "notify/TextSpeaker.h"
#include "power/ScheduledPower.h"
#include "power/TurnOffSequence.h"
#include "schedule/ScheduleList.h"
#include "schedule/ScheduleRules.h"

#include <windows.h>

#include <string>

namespace veskaro {

// The registered "TaskbarCreated" message, shared by the process.
extern UINT g_uTaskbarCreatedMessage;

// "11:00 PM": a calendar second's local time in the user's format, the seconds only where it has them.
std::wstring ClockText(IOutsideWorld& outside, long long second);

class CVeskaroDlg : public CDialogBase
{
public:
    explicit CVeskaroDlg(AppEnvironment& environment);
    ~CVeskaroDlg() override;

    // Start-up and instance identity (app/InstanceIdentity.cpp)
    void CountRunningInstances();
    LRESULT OnInstanceHandshake(WPARAM wParam, LPARAM lParam);
    LRESULT OnInstanceQuery();

    // Tray icon, menus, showing and hiding (ui/)
    void AddTrayIcon();
    bool TryAddTrayIcon(bool retry);
    void RetryTrayIcon();
    void RemoveTrayIcon();
    void LoadTrayIcon(); // only while the shell holds none of ours
    void UpdateTrayIconScale();
    void ShowMainWindow();
    void HideMainWindow();
    void ShowMainMenu();
    // The tip and the skip's check mark, after anything that may change what comes next.
    void UpdateTrayTip();
    std::wstring TrayTip();
    // Said once by the icon, where screen readers announce it.
    void ShowTrayBalloon(const std::wstring& text);

    // Weekly schedule and its timer (schedule/)
    void LoadSaveSchedule(bool save);
    bool IsTurnOffDay();
    bool IsTurnOnDay();
    bool IsTurnOffTime();
    bool IsTurnOnTime();
    void OnScheduleTick();
    void StartScheduleTimer();
    void SetStatusLine(const COleDateTime& now);
    void RefreshStatusLine(); // the time now, when the window is shown
    void ReadTimeZoneAndRestartWallClock();
    int& DayFlag(int index); // 0..13 for m_bDay1..m_bDay14
    ScheduledTimes GetScheduledTimes();
    // What the schedules turning off from `first` to `last` (calendar seconds) ask for with it.
    void TurnOffActionsAt(long long first, long long last, bool& blackScreen, bool& lock);
    // The first schedule, which the members hold, as a value.
    Schedule FirstSchedule();
    void SetFirstSchedule(const Schedule& schedule);
    // The first schedule edited elsewhere than on the window: shown, saved and followed.
    void EditFirstSchedule(const Schedule& schedule);
    // Any schedule changed: what follows the schedules follows.
    void OnSchedulesChanged();

    // Monitor and workstation commands, black screen (power/)
    void TurnMonitorsOff();
    void TurnMonitorsOn();
    void ShowBlackScreen();

    // Display power watch, voice alerts, turn-off on lock (notify/)
    void StartDisplayPowerWatch();
    void StopDisplayPowerWatch();
    void AddMonitorStateEntry(bool on);
    void SpeakMonitorState(bool on);
    void UpdateSessionLockWatch();
    void RetrySessionLockWatch();
    void StopSessionLockWatch(); // when the window is destroyed
    void OnLockTurnOffTimer();
    void TurnOffAfterLock(int delay);

    const AppEnvironment& Environment() const noexcept { return m_env; }
    // Set on the process's main window: its end ends the message loop.
    bool m_bQuitOnDestroy = false;

    // Data, in the order the window's state is described
    CTextSpeaker m_oTextSpeaker;
    HPOWERNOTIFY m_hPowerNotify = nullptr;
    std::wstring m_strTimeText1; // working texts of the time tests
    std::wstring m_strTimeText2;
    std::wstring m_strInstanceSuffix;
    int m_iInstance = 0;
    std::wstring m_strSection;
    COleDateTime m_oTimeNow;
    std::wstring m_strStatus;
    UniqueMenu m_menuMain;
    UniqueMenu m_menuTray;
    HICON m_hIcon = nullptr; // a shared resource icon: never destroyed
    UniqueIcon m_hTrayIcon;  // the same icon at the small size, for the notification area
    int m_iTrayIconSize = 0; // its width and height, so that only a new scale reloads it
    TickRetry m_trayIconRetry;
    TrayTipCache m_trayTip;
    int m_bDay1 = 0, m_bDay2 = 0, m_bDay3 = 0, m_bDay4 = 0, m_bDay5 = 0, m_bDay6 = 0, m_bDay7 = 0;
    int m_bDay8 = 0, m_bDay9 = 0, m_bDay10 = 0, m_bDay11 = 0, m_bDay12 = 0, m_bDay13 = 0, m_bDay14 = 0;
    int m_bTurnOffLockPC = 0;
    COleDateTime m_oTimeTurnOff;
    COleDateTime m_oTimeTurnOn;
    CControl m_editStatus;
    int m_bAutoDisplayBlackScreen = 0;
    CControl m_ctlMonitorStateList;

    // The schedule tick's memory: the previous tick, and the occurrence each action last
    // fired for, so that nothing is missed or repeated.
    PreviousTick m_previousTick;
    OccurrenceGuard m_turnOffGuard;
    OccurrenceGuard m_turnOnGuard;
    // The wake timer and the power requests of the schedule.
    CScheduledPower m_scheduledPower;
    // Every turn-off from its request to its end, and the watch that keeps the monitors off.
    CTurnOffSequence m_turnOff;
    // The schedules after the first, which the members above hold.
    CScheduleList m_schedules;

    // The runtime's time zone is read again every this many ticks, in case no message said it changed.
    int m_iTicksSinceTimeZoneRead = 0;

    // A session subscription that failed is tried again on the schedule tick.
    TickRetry m_sessionWatchRetry;

protected:
    void DoDataExchange(CDataExchange& dx) override;
    BOOL OnInitDialog() override;
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // Handlers; those returning bool return false to leave the message to the default processing.
    bool OnSysCommand(UINT nID, LPARAM lParam);
    bool OnPaint();
    HICON OnQueryDragIcon();
    void OnScheduleCheckBoxClicked();
    void OnScheduleTimeChanged(const NMHDR* header, LRESULT* result);
    void OnContextMenu();
    void OnExit();
    void OnMenuButton();
    void OnTurnOffMonitorsNow();
    void OnTurnOffAndOnAfter10Seconds();
    void OnTimer(UINT_PTR id);
    void OnHowCanMonitorsTurnOn();
    void OnContactSupport();
    LRESULT OnTrayNotify(WPARAM wParam, LPARAM lParam);
    void OnDestroy();
    LRESULT OnTaskbarCreated();
    void OnLockPCNow();
    void OnSettings();
    void OnSchedules();
    void OnOptionsChanged();
    BOOL OnHelpInfo();
    void OnShareLink();
    void OnClose();
    void OnQueryEndSession(LPARAM flags);
    void OnEndSession(bool ending, LPARAM flags);
    void OnSessionChange(WPARAM code, LPARAM sessionId);
    void OnDisplayBlackScreen();
    void OnPowerBroadcast(WPARAM event, LPARAM data);
    void OnClearMonitorStateList();
    void OnLButtonDown();
    void OnDpiChanged(UINT dpi, const RECT* suggested);
    void OnSettingChange();
    void OnTimeChange();
    void OnShowWindow(bool show);
    void OnSize(UINT type);

    bool OnCommand(WPARAM wParam, LPARAM lParam);

    AppEnvironment& m_env;
};

} // namespace veskaro
