// The monitor primitives and the monitor and workstation commands.
#include "ui/VeskaroDlg.h"

namespace veskaro {

void CVeskaroDlg::TurnMonitorsOff() {}
void CVeskaroDlg::TurnMonitorsOn() {}
void CVeskaroDlg::OnTurnOffMonitorsNow() {}
void CVeskaroDlg::OnTurnOffAndOnAfter10Seconds() {}
void CVeskaroDlg::OnLockPCNow() {}

} // namespace veskaro
