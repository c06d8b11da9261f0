// The main window's "Settings..." command.
#include "ui/VeskaroDlg.h"

namespace veskaro {

void CVeskaroDlg::OnSettings() {}

} // namespace veskaro
