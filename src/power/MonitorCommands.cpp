// The monitor primitives and the monitor and workstation commands.
#include "ui/VeskaroDlg.h"

#include "framework/IntegerText.h"
#include "framework/OutsideWorld.h"
#include "notify/EventLog.h"
#include "res/resource.h"

#include <utility>

namespace veskaro {

namespace {

// lParam of SC_MONITORPOWER
constexpr LPARAM kMonitorPowerOff = 2;
constexpr LPARAM kMonitorPowerOn = -1;
constexpr UINT kTurnOnDelayMs = 10000;

// The release of the key or button that chose a command, or a nudge of the mouse after
// the click, is input and would turn the displays straight back on.
constexpr UINT kQuietPollMs = 100;
constexpr DWORD kQuietInputMs = 500;
constexpr int kQuietPollLimit = 50; // about five seconds; a stuck key does not hold it longer

} // namespace

void CVeskaroDlg::TurnMonitorsOff()
{
    // Sent, not posted: the default processing has acted when this returns.
    ::SendMessageW(m_hWnd, WM_SYSCOMMAND, SC_MONITORPOWER, kMonitorPowerOff);
    AppendEventLog(m_env.store, m_env.outside, true);
}

void CVeskaroDlg::TurnMonitorsOn()
{
    ::SendMessageW(m_hWnd, WM_SYSCOMMAND, SC_MONITORPOWER, kMonitorPowerOn);

    // Some displays wake only on input: one pixel left and back, a net move of nothing.
    INPUT moves[2] = {};
    moves[0].type = INPUT_MOUSE;
    moves[0].mi.dx = -1;
    moves[0].mi.dwFlags = MOUSEEVENTF_MOVE;
    moves[1].type = INPUT_MOUSE;
    moves[1].mi.dx = 1;
    moves[1].mi.dwFlags = MOUSEEVENTF_MOVE;
    m_outside.SendInput(2, moves, sizeof(INPUT));

    AppendEventLog(m_env.store, m_env.outside, false);
}

void CVeskaroDlg::OnTurnOffMonitorsNow()
{
    TurnMonitorsOffWhenInputQuiet(false);
}

void CVeskaroDlg::OnTurnOffAndOnAfter10Seconds()
{
    TurnMonitorsOffWhenInputQuiet(true);
}

void CVeskaroDlg::TurnMonitorsOffWhenInputQuiet(bool turnOnAfter)
{
    m_bTurnOnAfterWait = (m_bTurnOffWaiting && m_bTurnOnAfterWait) || turnOnAfter;
    m_bTurnOffWaiting = true;
    m_iQuietPolls = 0;
    if (TurnOffIfInputQuiet())
        ::KillTimer(m_hWnd, TIMER_QUIET_INPUT);
    else
        ::SetTimer(m_hWnd, TIMER_QUIET_INPUT, kQuietPollMs, nullptr);
}

// True when nothing waits any more.
bool CVeskaroDlg::TurnOffIfInputQuiet()
{
    if (!m_bTurnOffWaiting)
        return true;
    const bool quiet = !m_outside.IsKeyOrButtonDown() && m_outside.MillisecondsSinceInput() >= kQuietInputMs;
    if (!quiet && ++m_iQuietPolls < kQuietPollLimit)
        return false;
    m_bTurnOffWaiting = false;
    TurnMonitorsOff();
    // The ten seconds count from the turn-off; a second command while armed restarts them.
    if (std::exchange(m_bTurnOnAfterWait, false))
        ::SetTimer(m_hWnd, TIMER_TURN_ON, kTurnOnDelayMs, nullptr);
    return true;
}

void CVeskaroDlg::OnLockPCNow()
{
    DWORD error = 0;
    if (m_outside.LockWorkStation(error))
        return;
    // %d: the error shows as a signed number.
    const std::wstring text = L"Failed to Lock PC, Last Error " + DecimalText(static_cast<int>(error));
    m_outside.MessageBox(m_hWnd, text, m_env.applicationName, MB_OK | MB_ICONERROR);
}

} // namespace veskaro
