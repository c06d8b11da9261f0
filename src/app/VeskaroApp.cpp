#include "app/VeskaroApp.h"

#include "app/CommandLine.h"
#include "app/InstanceIdentity.h"
#include "framework/Handles.h"
#include "res/resource.h"
#include "settings/StartAtLogin.h"

#include <commctrl.h>
#include <ole2.h>

namespace veskaro {

namespace {

// Start-up is serialised per session and application name, so that two starts at the
// same moment cannot both miss each other's window or take the same number.
constexpr DWORD kStartupLockTimeoutMs = 15000;

class StartupLock
{
public:
    explicit StartupLock(const std::wstring& applicationName)
        : m_mutex(::CreateMutexW(nullptr, FALSE, (L"Local\\Ortavel." + applicationName + L".Startup").c_str()))
    {
        if (!m_mutex)
            return;
        const DWORD wait = ::WaitForSingleObject(m_mutex.Get(), kStartupLockTimeoutMs);
        // An abandoned lock is ours now; after a time-out we go on rather than hang.
        m_bOwned = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
    }
    ~StartupLock() { Release(); }
    StartupLock(const StartupLock&) = delete;
    StartupLock& operator=(const StartupLock&) = delete;

    void Release()
    {
        if (m_bOwned)
            ::ReleaseMutex(m_mutex.Get());
        m_bOwned = false;
    }

private:
    UniqueKernelHandle m_mutex;
    bool m_bOwned = false;
};

} // namespace

CVeskaroApp::CVeskaroApp(std::wstring applicationName, std::wstring argumentText)
    : m_applicationName(std::move(applicationName)),
      m_argumentText(std::move(argumentText)),
      m_store(ApplicationKeyPath(kCompanyKey, m_applicationName)),
      m_environment{m_applicationName, m_store, m_outside, false, m_argumentText},
      m_dlg(m_environment)
{
}

CVeskaroApp::~CVeskaroApp()
{
    // The voice must go while COM is still up.
    m_dlg.m_oTextSpeaker.ReleaseVoice();
    if (m_bOleInitialized)
        ::OleUninitialize();
}

bool CVeskaroApp::InitInstance()
{
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = 8;
    controls.dwICC = ICC_WIN95_CLASSES;
    ::InitCommonControlsEx(&controls);

    m_bOleInitialized = SUCCEEDED(::OleInitialize(nullptr));

    m_environment.allowMultipleInstances = kAllowMultipleInstances.Read(m_store) != 0;

    // A command verb goes to the instance that runs, whether or not others may run beside it;
    // with none running, this process starts silently and carries it out itself.
    const UINT command = CommandVerb(m_argumentText);
    StartupLock lock(m_applicationName);
    if (command != 0 && HandOverToRunningInstance(m_outside, m_applicationName, command))
        return false;
    // A silent start (at sign-in, say) that finds one running leaves its window as it is.
    const UINT show = IsSilentStart(m_argumentText) ? 0 : ID_CONFIGURE;
    if (!m_environment.allowMultipleInstances && HandOverToRunningInstance(m_outside, m_applicationName, show))
        return false;

    m_dlg.m_bQuitOnDestroy = true;
    if (!m_dlg.Create(nullptr))
        return false; // no window, nothing to run
    lock.Release();

    // Restart after an update or a hang, the way it was started (a command only once); no
    // recovery, no autosave.
    if (command != 0)
        m_environment.restartArguments = L":silent";
    RegisterRestart(m_outside, m_environment.restartArguments);

    if (command != 0)
        ::PostMessageW(m_dlg.GetSafeHwnd(), WM_COMMAND, command, 0);
    else if (!IsSilentStart(m_argumentText))
        ::ShowWindow(m_dlg.GetSafeHwnd(), SW_SHOW);
    return true;
}

int CVeskaroApp::Run()
{
    MSG message{};
    for (;;)
    {
        const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
        if (got == 0 || got == -1)
            break;
        // The main window and the windows it owns (the notice) take their dialog keys.
        HWND main = m_dlg.GetSafeHwnd();
        HWND root = message.hwnd ? ::GetAncestor(message.hwnd, GA_ROOT) : nullptr;
        if (main && root && (root == main || ::GetWindow(root, GW_OWNER) == main) && ::IsDialogMessageW(root, &message))
            continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return message.message == WM_QUIT ? static_cast<int>(message.wParam) : 0;
}

} // namespace veskaro
