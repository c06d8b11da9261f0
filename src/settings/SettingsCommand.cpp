// The main window's "Settings..." command.
#include "app/InstanceIdentity.h"
#include "res/resource.h"
#include "settings/DlgSettings.h"
#include "ui/VeskaroDlg.h"

namespace veskaro {

void CVeskaroDlg::OnSettings()
{
    CDlgSettings dialog(m_env);
    // The lock option or its delay may have changed; Cancel changed nothing.
    if (dialog.DoModal(m_hWnd) != IDOK)
        return;
    OnOptionsChanged();
    // The options are shared by every instance, and each holds its own power requests.
    PostToOtherInstances(m_env.applicationName, m_hWnd, WM_OPTIONS_CHANGED);
}

void CVeskaroDlg::OnOptionsChanged()
{
    UpdateSessionLockWatch();
    m_scheduledPower.OnOptionsChanged();
    UpdateTrayTip();
}

} // namespace veskaro
