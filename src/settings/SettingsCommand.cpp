// The main window's "Settings..." command.
#include "settings/DlgSettings.h"
#include "ui/VeskaroDlg.h"

namespace veskaro {

void CVeskaroDlg::OnSettings()
{
    CDlgSettings dialog(m_env);
    // The lock option or its delay may have changed; Cancel changed nothing.
    if (dialog.DoModal(m_hWnd) != IDOK)
        return;
    UpdateSessionLockWatch();
    m_scheduledPower.OnOptionsChanged();
    UpdateTrayTip();
}

} // namespace veskaro
