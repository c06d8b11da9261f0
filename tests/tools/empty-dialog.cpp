// The yardstick for start-up time: the least a tray program with this window can do.
// It creates the main window's template and a tray icon, shows the window and runs the
// message loop, with nothing of the program's own work; WM_CLOSE ends it.
// With ":silent" it is the yardstick for the cost of waiting in the tray: the window stays
// hidden, and a 1 s timer wakes it for nothing.
#include "res/resource.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cwchar>

namespace {

constexpr UINT kTrayMessage = WM_APP + 1;
constexpr UINT kTrayId = 1;

NOTIFYICONDATAW TrayRecord(HWND window)
{
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof(data);
    data.hWnd = window;
    data.uID = kTrayId;
    return data;
}

INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM, LPARAM)
{
    switch (message)
    {
    case WM_INITDIALOG: return TRUE;
    case WM_CLOSE: ::DestroyWindow(window); return TRUE;
    case WM_DESTROY:
    {
        NOTIFYICONDATAW data = TrayRecord(window);
        ::Shell_NotifyIconW(NIM_DELETE, &data);
        ::PostQuitMessage(0);
        return FALSE;
    }
    default: return FALSE;
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR arguments, int)
{
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_WIN95_CLASSES;
    ::InitCommonControlsEx(&controls);

    HWND window = ::CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_VESKARO_DIALOG), nullptr, DialogProc, 0);
    if (!window)
        return 1;
    // Another title than the program's, so that neither mistakes the other for itself.
    ::SetWindowTextW(window, L"Empty dialog");

    NOTIFYICONDATAW data = TrayRecord(window);
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = kTrayMessage;
    data.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME));
    ::lstrcpynW(data.szTip, L"Empty dialog", ARRAYSIZE(data.szTip));
    ::Shell_NotifyIconW(NIM_ADD, &data);
    if (arguments && std::wcscmp(arguments, L":silent") == 0)
        ::SetTimer(window, 1, 1000, nullptr);
    else
        ::ShowWindow(window, SW_SHOW);

    MSG message{};
    while (::GetMessageW(&message, nullptr, 0, 0) > 0)
    {
        if (::IsDialogMessageW(window, &message))
            continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return 0;
}
