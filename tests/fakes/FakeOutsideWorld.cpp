#include "fakes/FakeOutsideWorld.h"

namespace veskaro::testing {

namespace {
// A voice the fake hands out; it is never called through, only passed back.
ISpVoice* FakeVoice()
{
    static int token;
    return reinterpret_cast<ISpVoice*>(&token);
}
} // namespace

int FakeOutsideWorld::MessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type)
{
    messageBoxes.push_back({owner, text, caption, type});
    log.push_back(L"MessageBox");
    if (onMessageBox)
        onMessageBox();
    return messageBoxResult;
}

int FakeOutsideWorld::MessageBoxCheck(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type,
                                      int defaultResult, const std::wstring& registryValue)
{
    messageBoxChecks.push_back({owner, text, caption, type, defaultResult, registryValue});
    log.push_back(L"MessageBoxCheck");
    if (onMessageBox)
        onMessageBox();
    return messageBoxCheckResult;
}

bool FakeOutsideWorld::ChooseSaveFile(HWND owner, const std::wstring& filter, const std::wstring& defaultExtension,
                                      DWORD flags, std::wstring& path)
{
    saveFileDialogs.push_back({owner, filter, defaultExtension, flags});
    log.push_back(L"ChooseSaveFile");
    if (!saveFileConfirmed)
        return false;
    path = saveFilePath;
    return true;
}

UINT FakeOutsideWorld::TrackPopupMenu(HMENU menu, UINT flags, int x, int y, HWND owner)
{
    popupMenus.push_back({menu, flags, x, y, owner});
    log.push_back(L"TrackPopupMenu");
    if (onTrackPopupMenu)
        onTrackPopupMenu();
    return popupMenuCommand;
}

bool FakeOutsideWorld::NotifyIcon(DWORD message, NOTIFYICONDATAW& data)
{
    notifyIcons.push_back({message, data});
    log.push_back(L"NotifyIcon " + std::to_wstring(message));
    if (onNotifyIcon)
        onNotifyIcon();
    if (notifyIconFailures > 0)
        return --notifyIconFailures, false;
    return notifyIconSucceeds;
}

bool FakeOutsideWorld::LockWorkStation(DWORD& error)
{
    ++lockCalls;
    log.push_back(L"LockWorkStation");
    if (lockSucceeds)
        return true;
    error = lockError;
    return false;
}

UINT FakeOutsideWorld::SendInput(UINT count, INPUT* records, int)
{
    inputs.emplace_back(records, records + count);
    log.push_back(L"SendInput");
    return count;
}

void FakeOutsideWorld::ShellExecute(HWND owner, const wchar_t* verb, const std::wstring& file, int show)
{
    shellExecutes.push_back({owner, verb ? verb : L"", file, show});
    log.push_back(L"ShellExecute");
}

bool FakeOutsideWorld::GetUserName(std::wstring& name)
{
    if (!userNameKnown)
        return false;
    name = userName;
    return true;
}

HPOWERNOTIFY FakeOutsideWorld::RegisterPowerSettingNotification(HWND window, const GUID& setting, DWORD flags)
{
    powerRegistrations.push_back({window, setting, flags});
    log.push_back(L"RegisterPowerSettingNotification");
    return powerNotifyHandle;
}

void FakeOutsideWorld::UnregisterPowerSettingNotification(HPOWERNOTIFY handle)
{
    powerUnregistrations.push_back(handle);
    log.push_back(L"UnregisterPowerSettingNotification");
}

bool FakeOutsideWorld::RegisterSessionNotification(HWND window, DWORD flags)
{
    sessionRegistrations.emplace_back(window, flags);
    log.push_back(L"RegisterSessionNotification");
    if (sessionRegistrationFailures > 0)
    {
        --sessionRegistrationFailures;
        return false;
    }
    return true;
}

void FakeOutsideWorld::UnRegisterSessionNotification(HWND window)
{
    sessionUnregistrations.push_back(window);
    log.push_back(L"UnRegisterSessionNotification");
}

HRESULT FakeOutsideWorld::CreateVoice(ISpVoice** voice)
{
    log.push_back(L"CreateVoice");
    if (FAILED(createVoiceResult))
    {
        *voice = nullptr;
        return createVoiceResult;
    }
    ++voicesCreated;
    *voice = FakeVoice();
    return S_OK;
}

void FakeOutsideWorld::Speak(ISpVoice*, const std::wstring& text, DWORD flags)
{
    spoken.push_back(text);
    speakFlags.push_back(flags);
    log.push_back(L"Speak " + text);
}

void FakeOutsideWorld::ReleaseVoice(ISpVoice*)
{
    ++voicesReleased;
    log.push_back(L"ReleaseVoice");
}

} // namespace veskaro::testing
