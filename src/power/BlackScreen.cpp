// The full-screen black window.
#include "ui/VeskaroDlg.h"

namespace veskaro {

void CVeskaroDlg::ShowBlackScreen() {}
void CVeskaroDlg::OnDisplayBlackScreen() {}

} // namespace veskaro
