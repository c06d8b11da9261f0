// Instance identity: the handshake, the instance number and the settings section.
#include "app/InstanceIdentity.h"

#include "framework/IntegerText.h"
#include "framework/OutsideWorld.h"
#include "res/resource.h"
#include "ui/VeskaroDlg.h"

#include <set>
#include <vector>

namespace veskaro {

bool AnswersHandshake(HWND window)
{
    DWORD_PTR answer = 0;
    if (!::SendMessageTimeoutW(window, WM_INSTANCE_HANDSHAKE, kHandshakeProbeW, kHandshakeProbeL,
                               SMTO_ABORTIFHUNG | SMTO_BLOCK, kHandshakeTimeoutMs, &answer))
        return false;
    return static_cast<LRESULT>(answer) == kHandshakeAnswer;
}

bool HandOverToRunningInstance(IOutsideWorld& outside, const std::wstring& applicationName, UINT command)
{
    for (HWND running : FindInstanceWindows(applicationName, nullptr))
    {
        if (!AnswersHandshake(running))
            continue;
        if (command == 0)
            return true;
        // Windows lets the process the user just started take the foreground, not the running
        // one: without this the window it shows stays behind, or only flashes in the taskbar.
        DWORD processId = 0;
        if (::GetWindowThreadProcessId(running, &processId))
            outside.AllowSetForegroundWindow(processId);
        ::PostMessageW(running, WM_COMMAND, command, 0);
        return true;
    }
    return false;
}

void PostToOtherInstances(const std::wstring& applicationName, HWND self, UINT message)
{
    for (HWND running : FindInstanceWindows(applicationName, self))
        if (AnswersHandshake(running))
            ::PostMessageW(running, message, 0, 0);
}

int QueryInstanceNumber(HWND window)
{
    DWORD_PTR answer = 0;
    if (!::SendMessageTimeoutW(window, WM_INSTANCE_QUERY, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, kHandshakeTimeoutMs,
                               &answer))
        return 0;
    const LRESULT number = static_cast<LRESULT>(answer);
    return number > 0 && number <= 0x7FFFFFFF ? static_cast<int>(number) : 0;
}

std::wstring SettingsSectionName(int instance)
{
    return L"Settings " + DecimalText(instance);
}

namespace {

struct FindContext
{
    HWND self;
    const std::wstring* applicationName;
    std::vector<HWND> found;
};

bool IsShellWindowClass(const wchar_t* name)
{
    return wcscmp(name, L"Progman") == 0 || wcscmp(name, L"CabinetWClass") == 0 || wcscmp(name, L"Shell_TrayWnd") == 0;
}

BOOL CALLBACK CollectInstanceWindow(HWND window, LPARAM param)
{
    auto& context = *reinterpret_cast<FindContext*>(param);
    // An instance's message boxes bear its title too, above it, but are owned and never answer.
    if (window == context.self || ::GetParent(window))
        return TRUE;
    wchar_t className[254] = {};
    ::GetClassNameW(window, className, 254);
    if (IsShellWindowClass(className))
        return TRUE;
    // Titles longer than the name cannot match; the buffer has room to tell.
    std::wstring title(context.applicationName->size() + 2, L'\0');
    const int length = ::GetWindowTextW(window, &title[0], static_cast<int>(title.size()));
    title.resize(length > 0 ? static_cast<size_t>(length) : 0);
    if (!title.empty() && title == *context.applicationName)
        context.found.push_back(window);
    return TRUE;
}

} // namespace

std::vector<HWND> FindInstanceWindows(const std::wstring& applicationName, HWND self)
{
    FindContext context{self, &applicationName, {}};
    ::EnumWindows(&CollectInstanceWindow, reinterpret_cast<LPARAM>(&context));
    return context.found;
}

void CVeskaroDlg::CountRunningInstances()
{
    // Numbers are identities, not counts: take the lowest one no running instance holds,
    // so that two running instances never share a settings section.
    m_iInstance = 0;
    std::set<int> taken;
    for (HWND window : FindInstanceWindows(m_env.applicationName, m_hWnd))
    {
        const int number = AnswersHandshake(window) ? QueryInstanceNumber(window) : 0;
        if (number > 0)
            taken.insert(number);
    }
    int number = 1;
    while (taken.count(number) != 0)
        ++number;
    m_iInstance = number;
    m_strSection = SettingsSectionName(m_iInstance);
}

LRESULT CVeskaroDlg::OnInstanceHandshake(WPARAM wParam, LPARAM lParam)
{
    return static_cast<LRESULT>(wParam) + lParam;
}

LRESULT CVeskaroDlg::OnInstanceQuery()
{
    return m_iInstance;
}

} // namespace veskaro
