// The application object: prepares the libraries, decides whether this process may run
// beside a running instance, and creates the main window.
#pragma once

#include "app/AppEnvironment.h"
#include "app/RegistryStore.h"
#include "framework/OutsideWorld.h"
#include "ui/VeskaroDlg.h"

#include <windows.h>

#include <string>

namespace veskaro {

inline const wchar_t kCompanyKey[] = L"Ortavel";

class CVeskaroApp
{
public:
    CVeskaroApp(std::wstring applicationName, std::wstring argumentText);
    ~CVeskaroApp();
    CVeskaroApp(const CVeskaroApp&) = delete;
    CVeskaroApp& operator=(const CVeskaroApp&) = delete;

    // False ends the process at once, without a message loop.
    bool InitInstance();
    // The message loop; returns the exit code.
    int Run();

private:
    std::wstring m_applicationName;
    std::wstring m_argumentText;
    Win32OutsideWorld m_outside;
    CRegistryStore m_store;
    AppEnvironment m_environment;
    CVeskaroDlg m_dlg;
    bool m_bOleInitialized = false;
};

} // namespace veskaro
