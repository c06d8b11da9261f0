#include "e2e/E2eSupport.h"

#include <vector>

namespace veskaro::testing {

std::wstring ProgramKeyPath(const std::wstring& section)
{
    const std::wstring key = std::wstring(L"Software\\Ortavel\\") + kTestAppName;
    return section.empty() ? key : key + L"\\" + section;
}

ProgramSettings::ProgramSettings() { Clear(); }
ProgramSettings::~ProgramSettings() { Clear(); }

void ProgramSettings::Clear()
{
    ::RegDeleteTreeW(HKEY_CURRENT_USER, ProgramKeyPath().c_str());
    ::RegDeleteKeyW(HKEY_CURRENT_USER, ProgramKeyPath().c_str());
}

void ProgramSettings::SetInt(const std::wstring& section, const std::wstring& name, DWORD value)
{
    UniqueKey key;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, ProgramKeyPath(section).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                          key.Put(), nullptr) == ERROR_SUCCESS)
        ::RegSetValueExW(key.Get(), name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
}

void ProgramSettings::SetText(const std::wstring& section, const std::wstring& name, const std::wstring& value)
{
    UniqueKey key;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, ProgramKeyPath(section).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                          key.Put(), nullptr) == ERROR_SUCCESS)
        ::RegSetValueExW(key.Get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                         static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

bool ProgramSettings::GetInt(const std::wstring& section, const std::wstring& name, DWORD& value) const
{
    DWORD size = sizeof(value);
    return ::RegGetValueW(HKEY_CURRENT_USER, ProgramKeyPath(section).c_str(), name.c_str(), RRF_RT_REG_DWORD, nullptr,
                          &value, &size) == ERROR_SUCCESS;
}

bool ProgramSettings::GetText(const std::wstring& section, const std::wstring& name, std::wstring& value) const
{
    DWORD size = 0;
    if (::RegGetValueW(HKEY_CURRENT_USER, ProgramKeyPath(section).c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr,
                       nullptr, &size) != ERROR_SUCCESS)
        return false;
    std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
    if (::RegGetValueW(HKEY_CURRENT_USER, ProgramKeyPath(section).c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr,
                       buffer.data(), &size) != ERROR_SUCCESS)
        return false;
    value = buffer.data();
    return true;
}

std::wstring TestFolder()
{
    wchar_t path[MAX_PATH * 4] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

RunningProgram::~RunningProgram()
{
    if (m_process && ::WaitForSingleObject(m_process.Get(), 0) == WAIT_TIMEOUT)
    {
        ::TerminateProcess(m_process.Get(), 99);
        ::WaitForSingleObject(m_process.Get(), 5000);
    }
}

bool RunningProgram::Start(const std::wstring& arguments, const std::wstring& exeName, bool waitUntilIdle)
{
    const std::wstring exe = TestFolder() + exeName;
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (!arguments.empty())
        commandLine += L" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return false;
    ::CloseHandle(info.hThread);
    m_process.Reset(info.hProcess);
    m_processId = info.dwProcessId;
    // Idle means initialised and in the message loop, or ended.
    if (waitUntilIdle)
        ::WaitForInputIdle(info.hProcess, 15000);
    return true;
}

namespace {
struct FindContext
{
    DWORD processId;
    const std::wstring* title;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM param)
{
    auto& context = *reinterpret_cast<FindContext*>(param);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    if (pid != context.processId)
        return TRUE;
    wchar_t title[512] = {};
    ::GetWindowTextW(window, title, 512);
    if (*context.title == title)
        context.found.push_back(window);
    return TRUE;
}
} // namespace

HWND RunningProgram::MainWindow(const std::wstring& title) const
{
    FindContext context{m_processId, &title, {}};
    ::EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&context));
    return context.found.empty() ? nullptr : context.found.front();
}

int CountWindows(DWORD processId, const std::wstring& title)
{
    FindContext context{processId, &title, {}};
    ::EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&context));
    return static_cast<int>(context.found.size());
}

bool RunningProgram::WaitForExit(DWORD timeoutMs, DWORD& exitCode)
{
    if (::WaitForSingleObject(m_process.Get(), timeoutMs) != WAIT_OBJECT_0)
        return false;
    ::GetExitCodeProcess(m_process.Get(), &exitCode);
    return true;
}

} // namespace veskaro::testing
