// The once-a-second schedule tick and the timers of the main window.
#include "ui/VeskaroDlg.h"

namespace veskaro {

bool CVeskaroDlg::IsTurnOffDay() const { return false; }
bool CVeskaroDlg::IsTurnOnDay() const { return false; }
bool CVeskaroDlg::IsTurnOffTime() { return false; }
bool CVeskaroDlg::IsTurnOnTime() { return false; }
void CVeskaroDlg::OnScheduleTick() {}
void CVeskaroDlg::OnTimer(UINT_PTR) {}

} // namespace veskaro
