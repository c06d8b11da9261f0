// The notification-area icon and its menu.
#include "ui/VeskaroDlg.h"

#include "framework/OutsideWorld.h"
#include "res/resource.h"

namespace veskaro {

void CVeskaroDlg::AddTrayIcon() {}
void CVeskaroDlg::RemoveTrayIcon() {}
LRESULT CVeskaroDlg::OnTrayNotify(WPARAM, LPARAM) { return 1; }
LRESULT CVeskaroDlg::OnTaskbarCreated() { return 1; }

} // namespace veskaro
