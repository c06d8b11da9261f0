// Drives a running Veskaro from a script, as another program could:
//   veskaro-send [options] wait [timeout-ms]     waits until a window titled T is visible
//   veskaro-send [options] post MSG [wP] [lP]    posts MSG (a number or WM_COMMAND,
//                                                WM_SYSCOMMAND, WM_CLOSE) to that window
//   veskaro-send [options] ask MSG [wP] [lP]     sends MSG to that window (shown or not) and
//                                                prints "<answer> <process id>"
// Options: --title T (default "Veskaro"); --desktop D, the desktop the window lives on (a
// Wine virtual desktop is one of its own, and windows are found only on one's own desktop).
// Exit status 0 on success, 1 when no such window (or it does not answer in 5 s), 2 on usage.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

bool ParseNumber(const wchar_t* text, unsigned long long& value)
{
    wchar_t* end = nullptr;
    value = std::wcstoull(text, &end, 0);
    return end && end != text && *end == L'\0';
}

bool ParseMessage(const std::wstring& text, UINT& message)
{
    if (text == L"WM_COMMAND")
        message = WM_COMMAND;
    else if (text == L"WM_SYSCOMMAND")
        message = WM_SYSCOMMAND;
    else if (text == L"WM_CLOSE")
        message = WM_CLOSE;
    else
    {
        unsigned long long number = 0;
        if (!ParseNumber(text.c_str(), number) || number > 0xFFFF)
            return false;
        message = static_cast<UINT>(number);
    }
    return true;
}

HWND FindVisible(const std::wstring& title)
{
    HWND window = ::FindWindowW(nullptr, title.c_str());
    return window && ::IsWindowVisible(window) ? window : nullptr;
}

// Moves this thread to the named desktop once; an empty name keeps the current one.
bool UseDesktop(const std::wstring& name)
{
    static bool done = false;
    if (done || name.empty())
        return true;
    HDESK desktop = ::OpenDesktopW(name.c_str(), 0, FALSE, GENERIC_ALL);
    done = desktop && ::SetThreadDesktop(desktop);
    return done;
}

int Usage()
{
    ::fputws(L"usage: veskaro-send [--title T] [--desktop D] wait [timeout-ms] | post|ask MSG [wParam] [lParam]\n",
             stderr);
    return 2;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    std::wstring title = L"Veskaro";
    std::wstring desktopName;
    int i = 1;
    while (i + 1 < argc && argv[i][0] == L'-')
    {
        const std::wstring option = argv[i];
        if (option == L"--title")
        {
            title = argv[i + 1];
        }
        else if (option == L"--desktop")
        {
            desktopName = argv[i + 1];
        }
        else
        {
            return Usage();
        }
        i += 2;
    }
    if (i >= argc)
        return Usage();
    const std::wstring verb = argv[i++];

    if (verb == L"wait")
    {
        unsigned long long timeout = 15000;
        if (i < argc && !ParseNumber(argv[i], timeout))
            return Usage();
        const ULONGLONG deadline = ::GetTickCount64() + timeout;
        // The desktop itself may not exist yet.
        while (!UseDesktop(desktopName) || !FindVisible(title))
        {
            if (::GetTickCount64() >= deadline)
                return 1;
            ::Sleep(100);
        }
        return 0;
    }

    if (verb == L"post" || verb == L"ask")
    {
        UINT message = 0;
        unsigned long long wParam = 0;
        unsigned long long lParam = 0;
        if (i >= argc || !ParseMessage(argv[i++], message))
            return Usage();
        if (i < argc && !ParseNumber(argv[i++], wParam))
            return Usage();
        if (i < argc && !ParseNumber(argv[i++], lParam))
            return Usage();
        if (!UseDesktop(desktopName))
        {
            ::fwprintf(stderr, L"cannot use desktop %ls\n", desktopName.c_str());
            return 1;
        }
        HWND window = ::FindWindowW(nullptr, title.c_str());
        if (!window)
            return 1;
        if (verb == L"post")
            return ::PostMessageW(window, message, static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam)) ? 0 : 1;
        DWORD_PTR answer = 0;
        if (!::SendMessageTimeoutW(window, message, static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam),
                                   SMTO_ABORTIFHUNG, 5000, &answer))
            return 1;
        DWORD processId = 0;
        ::GetWindowThreadProcessId(window, &processId);
        ::wprintf(L"%lld %lu\n", static_cast<long long>(static_cast<LRESULT>(answer)), processId);
        return 0;
    }
    return Usage();
}
