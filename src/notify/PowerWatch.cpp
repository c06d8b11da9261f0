// The display power-state watch and the monitor state list.
#include "ui/VeskaroDlg.h"

namespace veskaro {

void CVeskaroDlg::StartDisplayPowerWatch() {}
void CVeskaroDlg::StopDisplayPowerWatch() {}
void CVeskaroDlg::OnPowerBroadcast(WPARAM, LPARAM) {}
void CVeskaroDlg::AddMonitorStateEntry(bool) {}
void CVeskaroDlg::OnClearMonitorStateList() {}

} // namespace veskaro
