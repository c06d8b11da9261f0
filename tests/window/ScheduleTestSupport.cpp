#include "window/ScheduleTestSupport.h"

#include "framework/DataExchange.h"
#include "res/resource.h"

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

ModalWindowWatcher* g_watcher = nullptr;

struct FindContext
{
    HWND owner;
    const wchar_t* title;
    HWND found;
};

BOOL CALLBACK CheckWindow(HWND window, LPARAM param)
{
    auto& context = *reinterpret_cast<FindContext*>(param);
    wchar_t className[64] = {};
    ::GetClassNameW(window, className, 64);
    if (std::wstring(className) == L"#32770" && GetWindowTextString(window) == context.title &&
        ::IsWindowVisible(window) && ::GetWindow(window, GW_OWNER) == context.owner)
    {
        context.found = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindDialog(HWND owner, const wchar_t* title)
{
    FindContext context{owner, title, nullptr};
    ::EnumThreadWindows(::GetCurrentThreadId(), &CheckWindow, reinterpret_cast<LPARAM>(&context));
    return context.found;
}

BOOL CALLBACK CollectText(HWND window, LPARAM param)
{
    reinterpret_cast<std::vector<std::wstring>*>(param)->push_back(GetWindowTextString(window));
    return TRUE;
}

} // namespace

HWND FindBlackScreen(HWND owner)
{
    return FindDialog(owner, L"");
}

HWND FindMessageBox(HWND owner, const std::wstring& caption)
{
    return FindDialog(owner, caption.c_str());
}

std::vector<std::wstring> ChildTexts(HWND window)
{
    std::vector<std::wstring> texts;
    ::EnumChildWindows(window, &CollectText, reinterpret_cast<LPARAM>(&texts));
    return texts;
}


void PressKey(HWND blackScreen)
{
    ::PostMessageW(blackScreen, WM_LBUTTONDOWN, MK_LBUTTON, 0);
}

ModalWindowWatcher::ModalWindowWatcher(Finder find, Action action)
    : m_find(std::move(find)), m_action(std::move(action))
{
    g_watcher = this;
    m_timer = ::SetTimer(nullptr, 0, 20, &ModalWindowWatcher::OnTimer);
}

ModalWindowWatcher::~ModalWindowWatcher()
{
    ::KillTimer(nullptr, m_timer);
    g_watcher = nullptr;
}

void CALLBACK ModalWindowWatcher::OnTimer(HWND, UINT, UINT_PTR, DWORD)
{
    ModalWindowWatcher* self = g_watcher;
    if (!self)
        return;
    HWND window = self->m_find();
    if (!window)
        return;
    for (HWND seen : self->m_seen)
        if (seen == window)
            return;
    // Noted before acting: the action may run a nested modal loop that calls back here.
    self->m_seen.push_back(window);
    self->m_action(window, static_cast<int>(self->m_seen.size()) - 1);
}

BlackScreenWatcher::BlackScreenWatcher(HWND owner, Action action)
    : ModalWindowWatcher([owner] { return FindBlackScreen(owner); }, std::move(action))
{
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

ScheduleWindowTest::ScheduleWindowTest() : m_log(L"schedule.log")
{
    m_store.WriteProfileInt(L"", L"m_bKeepALog", 1);
    m_store.WriteProfileString(L"", L"LogFilePath", m_log.Path());
}

void ScheduleWindowTest::Set(const wchar_t* name, int value)
{
    m_store.WriteProfileInt(kSection, name, value);
}

void ScheduleWindowTest::SetText(const wchar_t* name, const std::wstring& value)
{
    m_store.WriteProfileString(kSection, name, value);
}

void ScheduleWindowTest::Open()
{
    OpenMainWindow();
    ASSERT_EQ(Dlg().m_strSection, kSection);
    ::KillTimer(Window(), TIMER_SCHEDULE);
    m_recorder = std::make_unique<PowerRequestRecorder>(Window(), m_outside);
}

void ScheduleWindowTest::TickAt(__time64_t time)
{
    m_outside.now = time;
    Send(WM_TIMER, TIMER_SCHEDULE);
}

void ScheduleWindowTest::TickEachSecond(__time64_t first, __time64_t last)
{
    for (__time64_t t = first; t <= last; ++t)
        TickAt(t);
}

void ScheduleWindowTest::Click(int id)
{
    ::SendMessageW(::GetDlgItem(Window(), id), BM_CLICK, 0, 0);
}

Events ScheduleWindowTest::PowerCalls() const
{
    return Filtered(m_outside.log, {L"MonitorPower", L"SendInput", L"LockWorkStation", L"BlackScreen"});
}

SYSTEMTIME TimeOfDay(WORD hour, WORD minute, WORD second)
{
    SYSTEMTIME time{};
    time.wYear = 2026;
    time.wMonth = 12;
    time.wDay = 6;
    time.wHour = hour;
    time.wMinute = minute;
    time.wSecond = second;
    return time;
}

// What the picker sends when the user changes a field.
void ChangePicker(HWND dialog, int id, const SYSTEMTIME& time)
{
    HWND picker = ::GetDlgItem(dialog, id);
    ::SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
    NMDATETIMECHANGE change{};
    change.nmhdr.hwndFrom = picker;
    change.nmhdr.idFrom = static_cast<UINT_PTR>(id);
    change.nmhdr.code = DTN_DATETIMECHANGE;
    change.dwFlags = GDT_VALID;
    change.st = time;
    ::SendMessageW(dialog, WM_NOTIFY, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&change));
    EXPECT_EQ(::GetWindowLongPtrW(dialog, DWLP_MSGRESULT), 0);
}

} // namespace veskaro::testing
