#include "window/WindowTest.h"
#include "res/resource.h"
#include "settings/DlgSettings.h"
#include <cstdio>
namespace veskaro::testing {
TEST(ZzExperiment, Timing)
{
    ScratchKey k(L"exp"); CRegistryStore store(k.Path()); FakeOutsideWorld o; AppEnvironment env{L"Veskaro", store, o, false};
    for (int mode = 0; mode < 7; ++mode)
    {
        ULONGLONG t0 = ::GetTickCount64();
        auto d = std::make_unique<CDlgSettings>(env);
        d->Create(nullptr);
        ULONGLONG t1 = ::GetTickCount64();
        HWND h = d->GetSafeHwnd();
        printf("mode %d active=%d focus=%d fg=%d\n", mode, ::GetActiveWindow() == h, ::GetFocus() != nullptr, ::GetForegroundWindow() == h);
        if (mode == 1) ::ShowWindow(h, SW_HIDE);
        if (mode == 2) ::SetActiveWindow(nullptr);
        if (mode == 3) ::SetFocus(nullptr);
        ULONGLONG t2 = ::GetTickCount64();
        if (mode == 4) { ::ShowWindow(h, SW_SHOW); ::ShowWindow(h, SW_HIDE);}
        if (mode == 5) ::SetWindowLongPtrW(h, GWL_STYLE, ::GetWindowLongPtrW(h, GWL_STYLE) | WS_VISIBLE);
        if (mode == 6) { ::SetWindowLongPtrW(h, GWL_STYLE, ::GetWindowLongPtrW(h, GWL_STYLE) | WS_VISIBLE); ::ShowWindow(h, SW_HIDE); }
        ULONGLONG t3 = ::GetTickCount64();
        d.reset();
        ULONGLONG t4 = ::GetTickCount64();
        PumpMessages();
        printf("mode %d create %llu act %llu %llu destroy %llu\n", mode, t1-t0, t2-t1, t3-t2, t4-t3);
    }
}
}
