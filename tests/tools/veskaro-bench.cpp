// Performance figures for scripts/bench, printed as "name value" lines:
//   veskaro-bench startup <exe> [<exe> ...] <runs>
//       Time from CreateProcess until the program first waits for input (by then it has
//       created its window and added its tray icon). After one unmeasured start of each,
//       the programs are started in turn, <runs> rounds, so that a slow spell of the
//       machine hits them alike. Prints "startup_median_ms <exe> <ms>" for each.
//   veskaro-bench idle <exe> [<exe> ...] <seconds>
//       Each program in turn started hidden in the tray (":silent"), left to settle, then
//       left alone for <seconds>, then closed. Prints "idle_begin <exe>" and "idle_end <exe>"
//       as each span begins and ends, for the caller to read the CPU time of the program's
//       process and of the Wine server from the kernel over the span (Wine reports no CPU
//       time of another process), and "idle_private_bytes <exe> <bytes>" at its end.
//   veskaro-bench tick <count>
//       The main window's schedule tick in this process, with a quiet outside world whose
//       clock moves one second a tick. Prints the median and 99th percentile in
//       microseconds (the status line swallows its text), the median of that swallowed
//       text update and of the real one alone, the tick's own work (the tick less the
//       swallowed update), and the private
//       bytes, the bytes in heap blocks (and handles, where counted) before and after.
// Exit status 0 on success, 1 on a failed measurement, 2 on usage.
#include "app/AppEnvironment.h"
#include "app/CommandLine.h"
#include "app/MemoryStore.h"
#include "framework/Handles.h"
#include "framework/OutsideWorld.h"
#include "res/resource.h"
#include "ui/VeskaroDlg.h"

#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

using veskaro::CVeskaroDlg;

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

double Percentile(std::vector<double> values, double fraction)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const size_t index = std::min(values.size() - 1, static_cast<size_t>(fraction * static_cast<double>(values.size())));
    return values[index];
}

long long Counter()
{
    LARGE_INTEGER value{};
    ::QueryPerformanceCounter(&value);
    return value.QuadPart;
}

double CounterFrequency()
{
    LARGE_INTEGER value{};
    ::QueryPerformanceFrequency(&value);
    return static_cast<double>(value.QuadPart);
}

bool ParseCount(const wchar_t* text, long long& value)
{
    wchar_t* end = nullptr;
    value = std::wcstoll(text, &end, 10);
    return end && end != text && *end == L'\0' && value > 0 && value <= 100000000;
}

// ---- start-up ----

// Every start finds the state of a first start. The key is the started program's own, named
// after its file: scripts/bench starts a copy under the tests' name, never a user's Veskaro.
void ClearProgramSettings(const std::wstring& exe)
{
    const std::wstring key = L"Software\\Ortavel\\" + veskaro::ApplicationNameFromPath(exe);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
    ::RegDeleteKeyW(HKEY_CURRENT_USER, key.c_str());
}

struct WindowsOfProcess
{
    DWORD processId;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectVisibleWindow(HWND window, LPARAM context)
{
    auto* found = reinterpret_cast<WindowsOfProcess*>(context);
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    if (processId == found->processId && ::IsWindowVisible(window))
        found->windows.push_back(window);
    return TRUE;
}

// Closes the program as a person would; a program that does not end is ended.
bool EndProgram(const PROCESS_INFORMATION& process)
{
    WindowsOfProcess found{process.dwProcessId, {}};
    ::EnumWindows(CollectVisibleWindow, reinterpret_cast<LPARAM>(&found));
    for (HWND window : found.windows)
        ::PostMessageW(window, WM_CLOSE, 0, 0);
    if (!found.windows.empty() && ::WaitForSingleObject(process.hProcess, 10000) == WAIT_OBJECT_0)
        return true;
    ::TerminateProcess(process.hProcess, 1);
    ::WaitForSingleObject(process.hProcess, 10000);
    return false;
}

// Milliseconds to the first wait for input, or a negative value on failure.
double StartOnce(const std::wstring& exe)
{
    ClearProgramSettings(exe);
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};

    const long long begin = Counter();
    if (!::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process))
    {
        std::fwprintf(stderr, L"cannot start %ls (error %lu)\n", exe.c_str(), ::GetLastError());
        return -1.0;
    }
    const DWORD idle = ::WaitForInputIdle(process.hProcess, 30000);
    const long long end = Counter();

    const bool closed = EndProgram(process);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    ClearProgramSettings(exe);
    if (idle != 0)
    {
        std::fwprintf(stderr, L"%ls did not become idle (%lu)\n", exe.c_str(), idle);
        return -1.0;
    }
    if (!closed)
        std::fwprintf(stderr, L"%ls did not end on WM_CLOSE and was terminated\n", exe.c_str());
    return static_cast<double>(end - begin) * 1000.0 / CounterFrequency();
}

int Startup(const std::vector<std::wstring>& exes, long long runs)
{
    for (const std::wstring& exe : exes)
    {
        if (StartOnce(exe) < 0)
            return 1;
    }
    std::vector<std::vector<double>> times(exes.size());
    for (long long round = 0; round < runs; ++round)
    {
        for (size_t i = 0; i < exes.size(); ++i)
        {
            const double ms = StartOnce(exes[i]);
            if (ms < 0)
                return 1;
            times[i].push_back(ms);
            std::wprintf(L"startup_ms %ls %.1f\n", exes[i].c_str(), ms);
        }
    }
    for (size_t i = 0; i < exes.size(); ++i)
        std::wprintf(L"startup_median_ms %ls %.1f\n", exes[i].c_str(), Median(times[i]));
    return 0;
}

// ---- waiting in the tray ----

BOOL CALLBACK CollectDialog(HWND window, LPARAM context)
{
    auto* found = reinterpret_cast<WindowsOfProcess*>(context);
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    wchar_t className[16] = {};
    ::GetClassNameW(window, className, 16);
    if (processId == found->processId && std::wcscmp(className, L"#32770") == 0)
        found->windows.push_back(window);
    return TRUE;
}

bool IdleOnce(const std::wstring& exe, long long seconds)
{
    constexpr DWORD kSettleMs = 5000; // the tray icon, the shell's answers, the first ticks
    ClearProgramSettings(exe);
    std::wstring commandLine = L"\"" + exe + L"\" :silent";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process))
    {
        std::fwprintf(stderr, L"cannot start %ls (error %lu)\n", exe.c_str(), ::GetLastError());
        return false;
    }
    const veskaro::UniqueKernelHandle thread(process.hThread);
    const veskaro::UniqueKernelHandle program(process.hProcess);
    bool ok = ::WaitForInputIdle(program.Get(), 30000) == 0 &&
              ::WaitForSingleObject(program.Get(), kSettleMs) == WAIT_TIMEOUT;
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof(counters);
    if (ok)
    {
        std::wprintf(L"idle_begin %ls\n", exe.c_str());
        std::fflush(stdout);
        ok = ::WaitForSingleObject(program.Get(), static_cast<DWORD>(seconds * 1000)) == WAIT_TIMEOUT;
        std::wprintf(L"idle_end %ls\n", exe.c_str());
        std::fflush(stdout);
        ok = ok && ::GetProcessMemoryInfo(program.Get(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                                          sizeof(counters));
    }
    if (!ok)
        std::fwprintf(stderr, L"%ls did not start, or ended while waiting\n", exe.c_str());

    // Hidden, so found by its dialog class; closed as Exit would close it.
    WindowsOfProcess found{process.dwProcessId, {}};
    ::EnumWindows(CollectDialog, reinterpret_cast<LPARAM>(&found));
    for (HWND window : found.windows)
        ::PostMessageW(window, WM_CLOSE, 0, 0);
    if (found.windows.empty() || ::WaitForSingleObject(program.Get(), 10000) != WAIT_OBJECT_0)
    {
        ::TerminateProcess(program.Get(), 1);
        ::WaitForSingleObject(program.Get(), 10000);
    }
    ClearProgramSettings(exe);
    if (!ok)
        return false;

    // Wine fills only the short record; its commit charge is the same figure.
    const unsigned long long privateBytes =
        counters.cb >= sizeof(counters) && counters.PrivateUsage != 0 ? counters.PrivateUsage : counters.PagefileUsage;
    std::wprintf(L"idle_private_bytes %ls %llu\n", exe.c_str(), privateBytes);
    std::fflush(stdout);
    return true;
}

int Idle(const std::vector<std::wstring>& exes, long long seconds)
{
    for (const std::wstring& exe : exes)
    {
        if (!IdleOnce(exe, seconds))
            return 1;
    }
    return 0;
}

// ---- schedule tick ----

// Nothing leaves the process and nothing is kept; only the clock moves.
class QuietOutsideWorld final : public veskaro::IOutsideWorld
{
public:
    __time64_t now = 1767571200; // 2026-01-05 00:00:00 UTC, a Monday
    long long inputs = 0;        // one a turn-on: shows that the actions did fire

    int MessageBox(HWND, const std::wstring&, const std::wstring&, UINT) override { return IDOK; }
    int MessageBoxCheck(HWND, const std::wstring&, const std::wstring&, UINT, int defaultResult,
                        const std::wstring&) override
    {
        return defaultResult;
    }
    void SetTimer(HWND window, UINT_PTR id, UINT elapse, ULONG) override { ::SetTimer(window, id, elapse, nullptr); }
    bool KillTimer(HWND window, UINT_PTR id) override { return ::KillTimer(window, id) != FALSE; }
    bool ChooseSaveFile(HWND, const std::wstring&, const std::wstring&, DWORD, std::wstring&) override
    {
        return false;
    }
    UINT TrackPopupMenu(HMENU, UINT, int, int, HWND) override { return 0; }
    bool NotifyIcon(DWORD, NOTIFYICONDATAW&) override { return true; }
    bool NotifyIconRect(HWND, UINT, RECT&) override { return false; }
    bool LockWorkStation(DWORD&) override { return true; }
    UINT SendInput(UINT count, INPUT*, int) override
    {
        ++inputs;
        return count;
    }
    void ShellExecute(HWND, const wchar_t*, const std::wstring&, int) override {}
    bool GetUserName(std::wstring& name) override
    {
        name = L"bench";
        return true;
    }
    bool IsWindows8OrGreater() override { return true; }
    UINT TaskbarDpi() override { return 0; }
    void RegisterApplicationRestart(const wchar_t*, DWORD) override {}
    bool SetForegroundWindow(HWND) override { return true; }
    void AllowSetForegroundWindow(DWORD) override {}
    HHOOK SetKeyboardHook(HOOKPROC) override { return nullptr; }
    void RemoveKeyboardHook(HHOOK) override {}
    void UnregisterApplicationRestart() override {}
    bool IsKeyOrButtonDown() override { return false; }
    DWORD MillisecondsSinceInput() override { return MAXDWORD; }
    DWORD LastInputTime() override { return 0; }
    bool IsFullScreenOrPresenting() override { return false; }
    EXECUTION_STATE SetThreadExecutionState(EXECUTION_STATE flags) override { return flags; }
    HANDLE PowerCreateRequest(const std::wstring&) override { return nullptr; }
    bool PowerSetRequest(HANDLE, POWER_REQUEST_TYPE) override { return false; }
    bool PowerClearRequest(HANDLE, POWER_REQUEST_TYPE) override { return false; }
    HANDLE CreateWaitableTimer() override { return nullptr; }
    bool SetWakeTimer(HANDLE, __time64_t, const std::wstring&, DWORD& error) override { return error = 0, false; }
    void CancelWaitableTimer(HANDLE) override {}
    bool IsModernStandby() override { return false; }
    bool IsOnAcPower() override { return true; }
    HPOWERNOTIFY RegisterPowerSettingNotification(HWND, const GUID&, DWORD) override
    {
        return reinterpret_cast<HPOWERNOTIFY>(static_cast<intptr_t>(1));
    }
    void UnregisterPowerSettingNotification(HPOWERNOTIFY) override {}
    bool RegisterSessionNotification(HWND, DWORD) override { return true; }
    void UnRegisterSessionNotification(HWND) override {}
    bool IsSessionLocked() override { return false; }
    HRESULT CreateVoice(ISpVoice**) override { return E_NOTIMPL; }
    void Speak(ISpVoice*, const std::wstring&, DWORD) override {}
    void ReleaseVoice(ISpVoice*) override {}
    __time64_t Now() override { return now; }
    bool LocalTime(__time64_t time, std::tm& local) override { return _localtime64_s(&local, &time) == 0; }
    void ReadTimeZone() override {}
    HRESULT SetAccessibleName(HWND, const std::wstring&) override { return S_OK; }
};

// The scheduled actions fire during the run; the monitors of the machine stay as they are.
LRESULT CALLBACK KeepMonitorsOn(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_MONITORPOWER)
        return 0;
    return ::DefSubclassProc(window, message, wParam, lParam);
}

// While set, the status line takes its new text without drawing it: the tick's own work is
// measured apart from the one window call whose cost is Wine's (or the system's), not ours.
bool g_swallowStatusText = false;

LRESULT CALLBACK SwallowStatusText(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    if (message == WM_SETTEXT && g_swallowStatusText)
        return TRUE;
    return ::DefSubclassProc(window, message, wParam, lParam);
}

void PumpMessages()
{
    MSG message{};
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
    {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

struct Usage
{
    unsigned long long privateBytes = 0;
    unsigned long long heapBytes = 0; // in blocks allocated from every heap of the process
    DWORD handles = 0;                // 0 where the system does not count them
};

// Private bytes move by whole pages for reasons of their own; the bytes in allocated
// heap blocks show a leak to the byte.
unsigned long long HeapBytesInUse()
{
    std::vector<HANDLE> heaps(::GetProcessHeaps(0, nullptr) + 16);
    heaps.resize(::GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data()));
    unsigned long long total = 0;
    for (HANDLE heap : heaps)
    {
        if (!::HeapLock(heap))
            continue;
        PROCESS_HEAP_ENTRY entry{};
        while (::HeapWalk(heap, &entry))
        {
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
                total += entry.cbData;
        }
        ::HeapUnlock(heap);
    }
    return total;
}

Usage CurrentUsage()
{
    Usage usage;
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof(counters);
    if (::GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                               sizeof(counters)))
    {
        // Wine fills only the short record; its commit charge is the same figure.
        usage.privateBytes = counters.cb >= sizeof(counters) && counters.PrivateUsage != 0 ? counters.PrivateUsage
                                                                                          : counters.PagefileUsage;
    }
    if (!::GetProcessHandleCount(::GetCurrentProcess(), &usage.handles))
        usage.handles = 0;
    usage.heapBytes = HeapBytesInUse();
    return usage;
}

int Tick(long long count, long long schedules)
{
    constexpr long long kWarmUp = 1000;
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_WIN95_CLASSES;
    ::InitCommonControlsEx(&controls);

    veskaro::CMemoryStore store;
    QuietOutsideWorld outside;
    veskaro::AppEnvironment environment{L"VeskaroTest", store, outside, false, L""};
    // The schedules after the first: every day on, at other times of the day than the first's.
    for (long long k = 2; k <= schedules; ++k)
    {
        veskaro::Schedule schedule;
        for (int& day : schedule.days)
            day = 1;
        schedule.timeTurnOff = veskaro::COleDateTime::FromTime64(outside.now + (7 + k) * 3600);
        schedule.timeTurnOn = veskaro::COleDateTime::FromTime64(outside.now + (13 + k) * 3600);
        veskaro::LoadSaveSchedule(store, L"Settings 1\\Schedule " + std::to_wstring(k), schedule, true);
    }
    CVeskaroDlg dlg(environment);
    if (!dlg.Create(nullptr))
    {
        std::fwprintf(stderr, L"cannot create the main window\n");
        return 1;
    }
    HWND window = dlg.GetSafeHwnd();
    // Only the ticks sent here run; shown, because a hidden window's status line is left alone.
    ::KillTimer(window, TIMER_SCHEDULE);
    ::ShowWindow(window, SW_SHOWNOACTIVATE);
    ::SetWindowSubclass(window, KeepMonitorsOn, 1, 0);
    HWND status = ::GetDlgItem(window, IDC_STATUS);
    ::SetWindowSubclass(status, SwallowStatusText, 1, 0);

    // Every day on, so that each tick compares both times; they come once a day.
    for (int i = 0; i < 14; ++i)
        dlg.DayFlag(i) = 1;
    dlg.m_oTimeTurnOff = veskaro::COleDateTime::FromTime64(outside.now + 7 * 3600);
    dlg.m_oTimeTurnOn = veskaro::COleDateTime::FromTime64(outside.now + 19 * 3600);

    // The tick as the timer runs it, less the message dispatch (Wine's, and not the tick's).
    // The status line swallows its text, but the call still crosses Wine's SendMessage.
    const auto tick = [&]() {
        ++outside.now;
        g_swallowStatusText = true;
        const long long begin = Counter();
        dlg.OnScheduleTick();
        const long long end = Counter();
        g_swallowStatusText = false;
        PumpMessages();
        return end - begin;
    };

    // The one window call of every tick, alone: the status line's new text, drawn and
    // swallowed. Sampled between the ticks, so that the figures see the same spells of the
    // machine; the tick's own work is the tick less the swallowed call.
    constexpr long long kStatusEvery = 100;
    const double toMicroseconds = 1e6 / CounterFrequency();
    const auto statusText = [&](long long i, bool swallow) {
        g_swallowStatusText = swallow;
        const long long begin = Counter();
        ::SetDlgItemTextW(window, IDC_STATUS, i % 2 ? L"Monday 1:00:01 AM" : L"Monday 1:00:02 AM");
        const long long end = Counter();
        g_swallowStatusText = false;
        return static_cast<double>(end - begin) * toMicroseconds;
    };

    for (long long i = 0; i < kWarmUp; ++i)
    {
        tick();
        statusText(i, false);
        statusText(i, true);
    }
    // Filled now, so that writing them is not counted as growth.
    std::vector<double> microseconds(static_cast<size_t>(count), -1.0);
    std::vector<double> statusMicroseconds(static_cast<size_t>(count / kStatusEvery + 1), -1.0);
    std::vector<double> swallowedMicroseconds(statusMicroseconds.size(), -1.0);
    size_t statusSamples = 0;
    const Usage before = CurrentUsage();
    for (long long i = 0; i < count; ++i)
    {
        microseconds[static_cast<size_t>(i)] = static_cast<double>(tick()) * toMicroseconds;
        if (i % kStatusEvery == 0)
        {
            swallowedMicroseconds[statusSamples] = statusText(i, true);
            statusMicroseconds[statusSamples++] = statusText(i, false);
        }
    }
    const Usage after = CurrentUsage();
    statusMicroseconds.resize(statusSamples);
    swallowedMicroseconds.resize(statusSamples);

    std::wprintf(L"tick_count %lld\n", count);
    std::wprintf(L"schedules %zu\n", dlg.m_schedules.Entries().size() + 1);
    std::wprintf(L"scheduled_turn_ons %lld\n", outside.inputs);
    std::wprintf(L"tick_median_us %.2f\n", Median(microseconds));
    std::wprintf(L"tick_p99_us %.2f\n", Percentile(microseconds, 0.99));
    std::wprintf(L"status_text_median_us %.2f\n", Median(statusMicroseconds));
    std::wprintf(L"status_text_swallowed_median_us %.2f\n", Median(swallowedMicroseconds));
    std::wprintf(L"tick_own_median_us %.2f\n",
                 std::max(0.0, Median(microseconds) - Median(swallowedMicroseconds)));
    std::wprintf(L"private_bytes_before %llu\n", before.privateBytes);
    std::wprintf(L"private_bytes_after %llu\n", after.privateBytes);
    std::wprintf(L"heap_bytes_before %llu\n", before.heapBytes);
    std::wprintf(L"heap_bytes_after %llu\n", after.heapBytes);
    if (before.handles != 0)
    {
        std::wprintf(L"handles_before %lu\n", before.handles);
        std::wprintf(L"handles_after %lu\n", after.handles);
    }
    ::RemoveWindowSubclass(status, SwallowStatusText, 1);
    ::RemoveWindowSubclass(window, KeepMonitorsOn, 1);
    return 0;
}

int UsageText()
{
    std::fputws(L"usage: veskaro-bench startup <exe> [<exe> ...] <runs> | idle <exe> [<exe> ...] <seconds> | "
                L"tick [<schedules, 1 to 8>] <count>\n",
                stderr);
    return 2;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3)
        return UsageText();
    const std::wstring mode = argv[1];
    long long count = 0;
    if (!ParseCount(argv[argc - 1], count))
        return UsageText();
    if (mode == L"startup" && argc >= 4)
        return Startup(std::vector<std::wstring>(argv + 2, argv + argc - 1), count);
    if (mode == L"idle" && argc >= 4)
        return Idle(std::vector<std::wstring>(argv + 2, argv + argc - 1), count);
    long long schedules = 1;
    if (mode == L"tick" && (argc == 3 || (argc == 4 && ParseCount(argv[2], schedules) && schedules >= 1 &&
                                          schedules <= veskaro::kMaxSchedules)))
        return Tick(count, schedules);
    return UsageText();
}
