// Veskaro: turns the monitors off and on, on a weekly schedule and on command.
#include "app/CommandLine.h"
#include "app/ModulePath.h"
#include "app/VeskaroApp.h"

#include <windows.h>

namespace {

// Before anything else loads a DLL: never from the program's folder or the current one.
void RestrictDllSearch()
{
    using SetDirectories = BOOL(WINAPI*)(DWORD);
    if (HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll"))
    {
        auto proc = reinterpret_cast<SetDirectories>(
            reinterpret_cast<void*>(::GetProcAddress(kernel, "SetDefaultDllDirectories")));
        if (proc)
            proc(LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
    ::SetDllDirectoryW(L"");
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    RestrictDllSearch();
    const wchar_t* commandLine = ::GetCommandLineW();
    veskaro::CVeskaroApp app(veskaro::ApplicationNameFromPath(veskaro::GetModulePath()),
                             veskaro::ArgumentText(commandLine ? commandLine : L""));
    if (!app.InitInstance())
        return 0;
    return app.Run();
}
