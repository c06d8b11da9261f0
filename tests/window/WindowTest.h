// The main window, created for real from its template inside the test process, with
// a recording outside world and a scratch registry key of its own.
#pragma once

#include "app/AppEnvironment.h"
#include "app/RegistryStore.h"
#include "common/TestFiles.h"
#include "fakes/FakeOutsideWorld.h"
#include "ui/VeskaroDlg.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace veskaro::testing {

// A scratch key under HKCU of the test's private Wine prefix; removed on destruction.
class ScratchKey
{
public:
    explicit ScratchKey(const std::wstring& name);
    ~ScratchKey();
    ScratchKey(const ScratchKey&) = delete;
    ScratchKey& operator=(const ScratchKey&) = delete;
    const std::wstring& Path() const { return m_path; }

private:
    std::wstring m_path;
};

// Test names and other ASCII texts as wide text.
std::wstring Widen(const std::string& text);

// Runs everything already posted to this thread, without waiting.
void PumpMessages();

// A temporary file path in the test's own folder of %TEMP%; the file is removed afterwards.
class ScratchFile
{
public:
    explicit ScratchFile(const std::wstring& name);
    ~ScratchFile();
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;
    const std::wstring& Path() const { return m_path; }
    std::string Bytes() const; // the whole file, or empty when absent
    bool Exists() const;

private:
    std::wstring m_path;
};

class MainWindowTest : public ::testing::Test
{
protected:
    MainWindowTest();
    ~MainWindowTest() override;

    // Creates the window (runs its initialisation); call after arranging store and fake.
    void OpenMainWindow();
    HWND Window() const { return m_dlg ? m_dlg->GetSafeHwnd() : nullptr; }
    CVeskaroDlg& Dlg() { return *m_dlg; }
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return ::SendMessageW(Window(), message, wParam, lParam);
    }
    LRESULT Command(UINT id) { return Send(WM_COMMAND, MAKEWPARAM(id, 0), 0); }
    std::wstring ControlText(int id) const;

    ScratchKey m_key;
    CRegistryStore m_store;
    FakeOutsideWorld m_outside;
    AppEnvironment m_env;
    std::unique_ptr<CVeskaroDlg> m_dlg;
};

} // namespace veskaro::testing
