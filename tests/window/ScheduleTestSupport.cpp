#include "window/ScheduleTestSupport.h"

#include <commctrl.h>

namespace veskaro::testing {

PowerRequestRecorder::PowerRequestRecorder(HWND window, FakeOutsideWorld& outside)
    : m_window(window), m_outside(outside)
{
    ::SetWindowSubclass(m_window, &PowerRequestRecorder::Proc, 1, reinterpret_cast<DWORD_PTR>(this));
}

PowerRequestRecorder::~PowerRequestRecorder()
{
    if (::IsWindow(m_window))
        ::RemoveWindowSubclass(m_window, &PowerRequestRecorder::Proc, 1);
}

LRESULT CALLBACK PowerRequestRecorder::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                            DWORD_PTR data)
{
    if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_MONITORPOWER)
    {
        reinterpret_cast<PowerRequestRecorder*>(data)->m_outside.log.push_back(
            L"MonitorPower " + std::to_wstring(static_cast<long long>(lParam)));
        return 0;
    }
    if (message == WM_NCDESTROY)
        ::RemoveWindowSubclass(window, &PowerRequestRecorder::Proc, 1);
    return ::DefSubclassProc(window, message, wParam, lParam);
}

namespace {

BlackScreenWatcher* g_watcher = nullptr;

struct FindContext
{
    HWND owner;
    HWND found;
};

BOOL CALLBACK CheckWindow(HWND window, LPARAM param)
{
    auto& context = *reinterpret_cast<FindContext*>(param);
    wchar_t className[64] = {};
    ::GetClassNameW(window, className, 64);
    if (std::wstring(className) == L"#32770" && ::GetWindowTextLengthW(window) == 0 &&
        ::IsWindowVisible(window) && ::GetWindow(window, GW_OWNER) == context.owner)
    {
        context.found = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

HWND FindBlackScreen(HWND owner)
{
    FindContext context{owner, nullptr};
    ::EnumThreadWindows(::GetCurrentThreadId(), &CheckWindow, reinterpret_cast<LPARAM>(&context));
    return context.found;
}

void PressKey(HWND blackScreen)
{
    ::PostMessageW(blackScreen, WM_KEYDOWN, 'A', 0x001E0001);
}

BlackScreenWatcher::BlackScreenWatcher(HWND owner, Action action) : m_owner(owner), m_action(std::move(action))
{
    g_watcher = this;
    m_timer = ::SetTimer(nullptr, 0, 20, &BlackScreenWatcher::OnTimer);
}

BlackScreenWatcher::~BlackScreenWatcher()
{
    ::KillTimer(nullptr, m_timer);
    g_watcher = nullptr;
}

void CALLBACK BlackScreenWatcher::OnTimer(HWND, UINT, UINT_PTR, DWORD)
{
    BlackScreenWatcher* self = g_watcher;
    if (!self)
        return;
    HWND blackScreen = FindBlackScreen(self->m_owner);
    if (!blackScreen)
        return;
    for (HWND seen : self->m_seen)
        if (seen == blackScreen)
            return;
    // Noted before acting: the action may run a nested modal loop that calls back here.
    self->m_seen.push_back(blackScreen);
    self->m_action(blackScreen, static_cast<int>(self->m_seen.size()) - 1);
}

UserTimeFormat::UserTimeFormat(const std::wstring& format)
{
    wchar_t previous[80] = {};
    ::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIMEFORMAT, previous, 80);
    m_previous = previous;
    ::SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIMEFORMAT, format.c_str());
}

UserTimeFormat::~UserTimeFormat()
{
    ::SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIMEFORMAT, m_previous.c_str());
}

std::vector<std::wstring> LogLines(const std::string& bytes)
{
    std::vector<std::wstring> lines;
    std::wstring line;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2)
    {
        const wchar_t c = static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) |
                                               (static_cast<unsigned char>(bytes[i + 1]) << 8));
        if (c == L'\n')
        {
            lines.push_back(line);
            line.clear();
        }
        else
        {
            line += c;
        }
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

std::vector<std::wstring> LogEvents(const std::string& bytes)
{
    std::vector<std::wstring> events;
    for (const std::wstring& line : LogLines(bytes))
    {
        const size_t tab = line.find(L'\t');
        events.push_back(tab == std::wstring::npos ? line : line.substr(tab + 1));
    }
    return events;
}

std::vector<std::wstring> Filtered(const std::vector<std::wstring>& log, const std::vector<std::wstring>& prefixes)
{
    std::vector<std::wstring> kept;
    for (const std::wstring& entry : log)
        for (const std::wstring& prefix : prefixes)
            if (entry.compare(0, prefix.size(), prefix) == 0)
            {
                kept.push_back(entry);
                break;
            }
    return kept;
}

} // namespace veskaro::testing
