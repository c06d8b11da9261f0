// The monitor primitives and the monitor and workstation commands.
#include "ui/VeskaroDlg.h"

#include "framework/IntegerText.h"
#include "framework/OutsideWorld.h"
#include "notify/EventLog.h"
#include "res/resource.h"

namespace veskaro {

namespace {

// lParam of SC_MONITORPOWER
constexpr LPARAM kMonitorPowerOff = 2;
constexpr LPARAM kMonitorPowerOn = -1;

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
    // Since Windows 8 the message alone often leaves the display off, and after a wake by a
    // timer Windows keeps it off until it sees the user; a display request turns it on.
    m_outside.SetThreadExecutionState(ES_DISPLAY_REQUIRED);

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
    m_turnOff.AfterInput(CTurnOffSequence::Request{});
}

void CVeskaroDlg::OnTurnOffAndOnAfter10Seconds()
{
    CTurnOffSequence::Request request;
    request.turnOnAfter = true;
    m_turnOff.AfterInput(request);
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
