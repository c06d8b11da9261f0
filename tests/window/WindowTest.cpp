#include "window/WindowTest.h"

#include "common/TestFiles.h"
#include "framework/DataExchange.h"

#include <fstream>
#include <iterator>

namespace veskaro::testing {

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
      m_env{L"Veskaro", m_store, m_outside, false}
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
}

std::wstring MainWindowTest::ControlText(int id) const
{
    return GetWindowTextString(::GetDlgItem(Window(), id));
}

} // namespace veskaro::testing
