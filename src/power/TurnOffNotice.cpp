#include "power/TurnOffNotice.h"

#include "app/SettingsStore.h"
#include "framework/OutsideWorld.h"
#include "power/DlgBlackScreen.h"
#include "power/ScheduledPower.h"
#include "power/TurnOffSequence.h"
#include "res/resource.h"
#include "ui/VeskaroDlg.h"

namespace veskaro {

CTurnOffNotice::CTurnOffNotice(CVeskaroDlg& window, IOutsideWorld& outside, ISettingsStore& store,
                               CScheduledPower& power, CTurnOffSequence& sequence)
    : m_window(window), m_outside(outside), m_store(store), m_power(power), m_sequence(sequence),
      m_dialog(outside)
{
}

void CTurnOffNotice::OnNextTurnOffChanged()
{
    m_found = false;
    OnTick(m_outside.Now());
}

void CTurnOffNotice::OnTick(__time64_t now)
{
    // The next turn-off is found again only when something changed or it passed.
    if (!m_found || (m_minutes != 0 && m_due >= 0 && now >= m_due))
        Find();
    if (m_minutes != 0 || m_dialog.GetSafeHwnd())
        Follow(now);
}

void CTurnOffNotice::Find()
{
    m_found = true;
    m_minutes = kNoticeBeforeTurnOff.Read(m_store) != 0 ? ReadNoticeMinutes(m_store) : 0;
    if (m_minutes == 0 || !m_sequence.NextDueTurnOff(m_due))
        m_due = -1;
}

void CTurnOffNotice::Follow(__time64_t now)
{
    // Not over a black screen, nor at the lock screen; it comes back once they are gone.
    const bool show = m_minutes != 0 && m_due > now && m_due - now <= m_minutes * 60LL && m_due != m_closedFor &&
                      !CDlgBlackScreen::IsAnyUp() && !m_power.IsSessionLocked();
    if (!show && m_dialog.GetSafeHwnd() && m_saidFor == m_shownFor)
        m_window.ShowTrayBalloon(std::wstring()); // what the icon said is over too
    if (!show)
        return m_dialog.Close();
    const std::wstring clock = ClockText(m_outside, m_due);
    const long long left = m_due - now;
    wchar_t countdown[32] = {};
    ::wsprintfW(countdown, L" (in %d:%02d)", static_cast<int>(left / 60), static_cast<int>(left % 60));
    const std::wstring& name = m_window.Environment().applicationName;
    if (!m_dialog.Show(m_window.GetSafeHwnd(), name, L"Monitors turn off at " + clock + countdown))
        return;
    m_shownFor = m_due;
    // Said once from the tray too, where screen readers announce it.
    if (m_saidFor != m_due)
        m_saidFor = m_due, m_window.ShowTrayBalloon(L"Monitors turn off at " + clock);
}

void CTurnOffNotice::OnChoice(UINT id)
{
    if (!m_dialog.GetSafeHwnd())
        return; // closed meanwhile: nothing is named any more
    if (m_saidFor == m_shownFor)
        m_window.ShowTrayBalloon(std::wstring());
    m_dialog.Close();
    const long long named = m_shownFor;
    // What it named has passed or changed meanwhile: the choice is of no turn-off any more.
    if (named != m_due || named <= m_outside.Now())
        return;
    switch (id)
    {
    case IDCANCEL: m_closedFor = named; break;
    case IDC_NOTICE_POSTPONE: m_sequence.Postpone(named); break;
    case IDC_NOTICE_NOT_TONIGHT: m_sequence.SkipTurnOffAt(named); break;
    case IDC_NOTICE_TURN_OFF_NOW: m_sequence.TurnOffAt(named); break;
    default: break;
    }
}

} // namespace veskaro
