// Turning the monitors off when the session is locked.
#include "ui/VeskaroDlg.h"

namespace veskaro {

void CVeskaroDlg::UpdateSessionLockWatch() {}
void CVeskaroDlg::RetrySessionLockWatch() {}
void CVeskaroDlg::OnLockTurnOffTimer() {}
void CVeskaroDlg::OnSessionChange(WPARAM, LPARAM) {}

} // namespace veskaro
