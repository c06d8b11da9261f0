// The main window's construction, data exchange, initialisation and dispatch.
#include "ui/VeskaroDlg.h"

#include "framework/DataExchange.h"
#include "framework/IntegerText.h"
#include "framework/OutsideWorld.h"
#include "res/resource.h"
#include "schedule/DlgScheduleEdit.h"

#include <commctrl.h>
#include <wtsapi32.h>

namespace veskaro {

UINT g_uTaskbarCreatedMessage = 0;

CVeskaroDlg::CVeskaroDlg(AppEnvironment& environment)
    : CDialogBase(IDD_VESKARO_DIALOG, environment.outside, environment.applicationName),
      m_oTextSpeaker(environment.outside),
      m_oTimeTurnOff(COleDateTime::FromTime64(environment.outside.Now())),
      m_oTimeTurnOn(m_oTimeTurnOff),
      m_scheduledPower(*this, environment.outside, environment.store),
      m_turnOff(*this, environment.outside, environment.store, m_scheduledPower),
      m_schedules(environment.store),
      m_env(environment)
{
}

CVeskaroDlg::~CVeskaroDlg()
{
    if (m_hWnd)
        ::DestroyWindow(m_hWnd);
}

int& CVeskaroDlg::DayFlag(int index)
{
    static constexpr int CVeskaroDlg::*flags[14] = {
        &CVeskaroDlg::m_bDay1,  &CVeskaroDlg::m_bDay2,  &CVeskaroDlg::m_bDay3,  &CVeskaroDlg::m_bDay4,
        &CVeskaroDlg::m_bDay5,  &CVeskaroDlg::m_bDay6,  &CVeskaroDlg::m_bDay7,  &CVeskaroDlg::m_bDay8,
        &CVeskaroDlg::m_bDay9,  &CVeskaroDlg::m_bDay10, &CVeskaroDlg::m_bDay11, &CVeskaroDlg::m_bDay12,
        &CVeskaroDlg::m_bDay13, &CVeskaroDlg::m_bDay14};
    return this->*flags[index];
}

void CVeskaroDlg::DoDataExchange(CDataExchange& dx)
{
    for (int i = 0; i < 7; ++i)
        DDX_Check(dx, IDC_DAY1 + i, DayFlag(i));
    for (int i = 7; i < 14; ++i)
        DDX_Check(dx, IDC_DAY8 + (i - 7), DayFlag(i));
    DDX_Check(dx, IDC_TURN_OFF_LOCK_PC, m_bTurnOffLockPC);
    DDX_DateTimeCtrl(dx, IDC_TIME_TURN_OFF, m_oTimeTurnOff);
    DDX_DateTimeCtrl(dx, IDC_TIME_TURN_ON, m_oTimeTurnOn);
    DDX_Control(dx, IDC_STATUS, m_editStatus);
    DDX_Check(dx, IDC_AUTO_DISPLAY_BLACK_SCREEN, m_bAutoDisplayBlackScreen);
    DDX_Control(dx, IDC_MONITOR_STATE_LIST, m_ctlMonitorStateList);
}

BOOL CVeskaroDlg::OnInitDialog()
{
    CountRunningInstances();
    LoadSaveSchedule(false);
    m_schedules.Load(m_strSection, COleDateTime::FromTime64(m_outside.Now()));
    g_uTaskbarCreatedMessage = ::RegisterWindowMessageW(L"TaskbarCreated");
    CDialogBase::OnInitDialog();
    NameScheduleControls(m_outside, m_hWnd);
    m_outside.SetAccessibleName(m_editStatus.m_hWnd, L"Status");
    m_outside.SetAccessibleName(m_ctlMonitorStateList.m_hWnd, L"Monitor state list");
    StartDisplayPowerWatch();

    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    m_hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME));
    LoadTrayIcon();
    m_menuMain.Reset(::LoadMenuW(instance, MAKEINTRESOURCEW(IDR_MENU_MAIN)));
    m_menuTray.Reset(::LoadMenuW(instance, MAKEINTRESOURCEW(IDR_MENU_TRAY)));

    if (HMENU systemMenu = ::GetSystemMenu(m_hWnd, FALSE))
    {
        wchar_t about[256] = {};
        if (::LoadStringW(instance, IDS_ABOUTBOX, about, 256) > 0)
        {
            ::AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
            ::AppendMenuW(systemMenu, MF_STRING, IDM_ABOUTBOX, about);
        }
    }

    ::SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    ::SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    ::SetWindowTextW(m_hWnd, m_env.applicationName.c_str());

    m_turnOff.LoadSkip();
    AddTrayIcon();
    UpdateTrayTip(); // the skip's check mark
    StartScheduleTimer();
    UpdateSessionLockWatch();
    // Started at the lock screen (an upgrade, a restart after a crash, a script): no lock comes.
    if (m_outside.IsSessionLocked())
        m_scheduledPower.OnSessionLock();
    m_scheduledPower.Update();
    if (m_env.allowMultipleInstances)
        m_strInstanceSuffix = L"   Instance " + DecimalText(m_iInstance);
    return TRUE;
}

INT_PTR CVeskaroDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    // A registered number cannot be a case label.
    if (g_uTaskbarCreatedMessage != 0 && message == g_uTaskbarCreatedMessage)
        return Result(message, OnTaskbarCreated());

    switch (message)
    {
    case WM_SYSCOMMAND: return OnSysCommand(static_cast<UINT>(wParam), lParam);
    case WM_PAINT: return OnPaint();
    case WM_QUERYDRAGICON: return Result(message, reinterpret_cast<LRESULT>(OnQueryDragIcon()));
    case WM_NOTIFY:
    {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (!header || header->code != DTN_DATETIMECHANGE ||
            (header->idFrom != IDC_TIME_TURN_OFF && header->idFrom != IDC_TIME_TURN_ON))
            return FALSE;
        LRESULT result = 0;
        OnScheduleTimeChanged(header, &result);
        return Result(message, result);
    }
    case WM_CONTEXTMENU: return OnContextMenu(), TRUE;
    case WM_COMMAND: return OnCommand(wParam, lParam);
    case WM_TIMER: return OnTimer(wParam), FALSE;
    case WM_TRAY_NOTIFY: return Result(message, OnTrayNotify(wParam, lParam));
    case WM_INSTANCE_HANDSHAKE: return Result(message, OnInstanceHandshake(wParam, lParam));
    case WM_INSTANCE_QUERY: return Result(message, OnInstanceQuery());
    case WM_OPTIONS_CHANGED: return OnOptionsChanged(), TRUE;
    case WM_NOTICE_CHOICE: return m_turnOff.OnNoticeChoice(static_cast<UINT>(wParam)), TRUE;
    case WM_DESTROY: return OnDestroy(), FALSE;
    case WM_HELP: return Result(message, OnHelpInfo());
    case WM_CLOSE: return OnClose(), TRUE;
    case WM_QUERYENDSESSION: return OnQueryEndSession(lParam), Result(message, TRUE);
    case WM_ENDSESSION: return OnEndSession(wParam != FALSE, lParam), FALSE;
    case WM_WTSSESSION_CHANGE: return OnSessionChange(wParam, lParam), FALSE;
    case WM_POWERBROADCAST: return OnPowerBroadcast(wParam, lParam), FALSE;
    case WM_LBUTTONDOWN: return OnLButtonDown(), FALSE;
    case WM_SHOWWINDOW: return OnShowWindow(wParam != FALSE), FALSE;
    case WM_SIZE: return OnSize(static_cast<UINT>(wParam)), FALSE;
    // Left to the default processing too, which rescales a dialog's controls on Windows 10.
    case WM_DPICHANGED: return OnDpiChanged(LOWORD(wParam), reinterpret_cast<const RECT*>(lParam)), FALSE;
    case WM_TIMECHANGE: return OnTimeChange(), FALSE;
    case WM_SETTINGCHANGE: ReadTimeZoneAndRestartWallClock(); return OnSettingChange(), FALSE;
    case WM_DISPLAYCHANGE: return OnSettingChange(), FALSE;
    case WM_NCDESTROY:
        if (m_bQuitOnDestroy)
            ::PostQuitMessage(0);
        return FALSE;
    default: return CDialogBase::HandleMessage(message, wParam, lParam);
    }
}

bool CVeskaroDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT id = LOWORD(wParam);
    const UINT code = HIWORD(wParam);
    // Menu commands arrive with code 0, which is also BN_CLICKED.
    if (code != BN_CLICKED)
        return false;
    switch (id)
    {
    case IDC_DAY1: case IDC_DAY2: case IDC_DAY3: case IDC_DAY4: case IDC_DAY5: case IDC_DAY6: case IDC_DAY7:
    case IDC_DAY8: case IDC_DAY9: case IDC_DAY10: case IDC_DAY11: case IDC_DAY12: case IDC_DAY13: case IDC_DAY14:
    case IDC_TURN_OFF_LOCK_PC: return OnScheduleCheckBoxClicked(), true;
    case ID_EXIT: return OnExit(), true;
    case IDC_MENU: return OnMenuButton(), true;
    case ID_TURN_OFF_MONITORS_NOW: return OnTurnOffMonitorsNow(), true;
    case ID_TURN_OFF_AND_ON_AFTER_10_SECONDS: return OnTurnOffAndOnAfter10Seconds(), true;
    case ID_HOW_CAN_MONITORS_TURN_ON: return OnHowCanMonitorsTurnOn(), true;
    case ID_CONTACT_SUPPORT: return OnContactSupport(), true;
    case IDC_HIDE: case ID_HIDE_TO_SYSTEM_TRAY: return HideMainWindow(), true;
    case ID_TRAY_EXIT: return OnExit(), true;
    case ID_CONFIGURE: return ShowMainWindow(), true;
    case ID_LOCK_PC_NOW: return OnLockPCNow(), true;
    case ID_SCHEDULES: return OnSchedules(), true;
    case ID_SETTINGS: return OnSettings(), true;
    case ID_SHARE_LINK: return OnShareLink(), true;
    case ID_DISPLAY_BLACK_SCREEN: return OnDisplayBlackScreen(), true;
    case IDC_AUTO_DISPLAY_BLACK_SCREEN: return OnScheduleCheckBoxClicked(), true;
    case ID_CLEAR_MONITOR_STATE_LIST: return OnClearMonitorStateList(), true;
    case ID_SKIP_NEXT_TURN_OFF: return m_turnOff.ToggleSkip(), true;
    case ID_POSTPONE_NEXT_TURN_OFF: return m_turnOff.Postpone(), true;
    // Enter and Escape, from the dialog manager: the window has no OK or Cancel button.
    case IDOK: case IDCANCEL: return HideMainWindow(), true;
    default: return CDialogBase::HandleMessage(WM_COMMAND, wParam, lParam) != FALSE;
    }
}

} // namespace veskaro
