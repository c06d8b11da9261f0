#include "window/WindowTest.h"

#include "common/TestFiles.h"
#include "framework/DataExchange.h"
#include "framework/Handles.h"

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace veskaro::testing {

namespace {

// The whole test process sees a key of its own as HKEY_CURRENT_USER, so what the window
// tests write beyond their scratch keys (the Run key above all) never reaches the profile
// of whoever runs them. Set up before any test runs; without it the tests do not run.
class ScratchProfile
{
public:
    ScratchProfile() : m_path(L"Software\\Ortavel-Tests\\Profile-" + std::to_wstring(::GetCurrentProcessId()))
    {
        Remove();
        UniqueKey key;
        if (::RegCreateKeyExW(HKEY_CURRENT_USER, m_path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.Put(),
                              nullptr) != ERROR_SUCCESS ||
            ::RegOverridePredefKey(HKEY_CURRENT_USER, key.Get()) != ERROR_SUCCESS)
        {
            std::fputs("cannot give the tests an HKEY_CURRENT_USER of their own\n", stderr);
            std::exit(1);
        }
    }
    ~ScratchProfile()
    {
        ::RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        Remove();
    }
    ScratchProfile(const ScratchProfile&) = delete;
    ScratchProfile& operator=(const ScratchProfile&) = delete;

private:
    void Remove() const
    {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, m_path.c_str());
        ::RegDeleteKeyW(HKEY_CURRENT_USER, m_path.c_str());
    }
    std::wstring m_path;
};

const ScratchProfile g_scratchProfile;

// A real monitor power request would switch off the screens of whoever runs the tests on
// Windows: none reaches the system (a recorder installed later still notes them first).
LRESULT CALLBACK KeepMonitorPowerRequests(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                          DWORD_PTR)
{
    if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_MONITORPOWER)
        return 0;
    if (message == WM_NCDESTROY)
        ::RemoveWindowSubclass(window, &KeepMonitorPowerRequests, id);
    return ::DefSubclassProc(window, message, wParam, lParam);
}

} // namespace

std::wstring Widen(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

ScratchKey::ScratchKey(const std::wstring& name)
    : m_path(L"Software\\Ortavel-Tests\\" + name + L"-" + std::to_wstring(::GetCurrentProcessId()))
{
    ::RegDeleteTreeW(HKEY_CURRENT_USER, m_path.c_str());
    ::RegDeleteKeyW(HKEY_CURRENT_USER, m_path.c_str());
}

ScratchKey::~ScratchKey()
{
    ::RegDeleteTreeW(HKEY_CURRENT_USER, m_path.c_str());
    ::RegDeleteKeyW(HKEY_CURRENT_USER, m_path.c_str());
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

ScratchFile::ScratchFile(const std::wstring& name)
{
    wchar_t temp[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH + 1, temp);
    m_path = std::wstring(temp) + L"veskaro-tests-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + name;
    ::DeleteFileW(m_path.c_str());
}

ScratchFile::~ScratchFile()
{
    ::SetFileAttributesW(m_path.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(m_path.c_str());
}

bool ScratchFile::Exists() const
{
    return ::GetFileAttributesW(m_path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ScratchFile::Bytes() const
{
    return ReadFileBytes(m_path);
}

MainWindowTest::MainWindowTest()
    : m_key(Widen(::testing::UnitTest::GetInstance()->current_test_info()->name())),
      m_store(m_key.Path()),
      m_env{kTestAppName, m_store, m_outside, false, L":silent"}
{
}

MainWindowTest::~MainWindowTest()
{
    if (m_dlg && m_dlg->GetSafeHwnd())
        ::DestroyWindow(m_dlg->GetSafeHwnd());
    m_dlg.reset();
    PumpMessages();
}

void MainWindowTest::OpenMainWindow()
{
    m_dlg = std::make_unique<CVeskaroDlg>(m_env);
    ASSERT_TRUE(m_dlg->Create(nullptr));
    ASSERT_NE(Window(), nullptr);
    ::SetWindowSubclass(Window(), &KeepMonitorPowerRequests, 1, 0);
}

std::wstring MainWindowTest::ControlText(int id) const
{
    return GetWindowTextString(::GetDlgItem(Window(), id));
}

} // namespace veskaro::testing
