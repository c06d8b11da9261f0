// The notice some minutes before a scheduled turn-off, with the choices it offers. The tick
// decides when it shows; its countdown follows the tick while it is up.
#pragma once

#include "power/DlgNotice.h"

#include <windows.h>

#include <ctime>

namespace veskaro {

class CScheduledPower;
class CTurnOffSequence;
class CVeskaroDlg;
class IOutsideWorld;
class ISettingsStore;

class CTurnOffNotice
{
public:
    CTurnOffNotice(CVeskaroDlg& window, IOutsideWorld& outside, ISettingsStore& store, CScheduledPower& power,
                   CTurnOffSequence& sequence);

    // Anything that may change the next turn-off, or the option: the turn-off it names found again.
    void OnNextTurnOffChanged();
    void OnTick(__time64_t now);
    // A button of the notice, its close box or Esc (IDCANCEL).
    void OnChoice(UINT id);
    void Close() { m_dialog.Close(); }

private:
    void Find();
    void Follow(__time64_t now);

    CVeskaroDlg& m_window;
    IOutsideWorld& m_outside;
    ISettingsStore& m_store;
    CScheduledPower& m_power;
    CTurnOffSequence& m_sequence;
    CDlgNotice m_dialog;

    bool m_found = false;  // m_due and m_minutes are up to date
    int m_minutes = 0;     // 0 where no notice is wanted
    long long m_due = -1;  // the next turn-off that will be made, -1 for none
    long long m_shownFor = 0;
    long long m_closedFor = 0; // closed by the user: not shown again for this turn-off
    long long m_saidFor = 0;   // the balloon's
};

} // namespace veskaro
