// Driving the real Veskaro.exe from outside, the way other processes can.
#pragma once

#include "common/TestFiles.h"
#include "framework/Handles.h"

#include <windows.h>

#include <functional>
#include <string>

namespace veskaro::testing {

// The key of the program run under the tests' name, or its subkey `section`.
std::wstring ProgramKeyPath(const std::wstring& section = L"");

// The Settings dialog's caption under the tests' name.
inline const std::wstring kSettingsCaption = std::wstring(L"Settings - ") + kTestAppName;

// The key of the program run under the tests' name, cleared before and after.
class ProgramSettings
{
public:
    ProgramSettings();
    ~ProgramSettings();
    ProgramSettings(const ProgramSettings&) = delete;
    ProgramSettings& operator=(const ProgramSettings&) = delete;
    static void Clear();
    void SetInt(const std::wstring& section, const std::wstring& name, DWORD value);
    void SetText(const std::wstring& section, const std::wstring& name, const std::wstring& value);
    bool GetInt(const std::wstring& section, const std::wstring& name, DWORD& value) const;
    bool GetText(const std::wstring& section, const std::wstring& name, std::wstring& value) const;
};

class RunningProgram
{
public:
    RunningProgram() = default;
    ~RunningProgram();
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    // Starts the program (a copy beside the test program, named for the tests) with the argument text and, unless
    // told otherwise, waits until its message loop is idle.
    bool Start(const std::wstring& arguments = L"", const std::wstring& exeName = VESKARO_EXE_NAME,
               bool waitUntilIdle = true);
    // The process's top-level window titled `title`, or null.
    HWND MainWindow(const std::wstring& title = kTestAppName) const;
    // Waits for the process to end; false on time-out.
    bool WaitForExit(DWORD timeoutMs, DWORD& exitCode);
    DWORD ProcessId() const { return m_processId; }
    HANDLE Process() const { return m_process.Get(); }

private:
    UniqueKernelHandle m_process;
    DWORD m_processId = 0;
};

// The folder of the test program, with a trailing backslash.
std::wstring TestFolder();


// Top-level windows of a process with the given title (visible or not).
int CountWindows(DWORD processId, const std::wstring& title);

} // namespace veskaro::testing
