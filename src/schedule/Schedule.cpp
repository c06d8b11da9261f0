// The weekly schedule: loaded once, saved at every edit.
#include "ui/VeskaroDlg.h"

#include "app/SettingsStore.h"
#include "framework/IntegerText.h"

namespace veskaro {

namespace {

// The wait cursor for the length of one scope.
class WaitCursor
{
public:
    WaitCursor() : m_previous(::SetCursor(::LoadCursorW(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { ::SetCursor(m_previous); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    HCURSOR m_previous;
};

std::wstring DayValueName(int index)
{
    return L"m_bDay" + DecimalText(index + 1);
}

// A flag edited by hand may hold any number; the check box can show only 0 or 1,
// so what it shows and what the tick acts on must be the same.
int AsFlag(int stored)
{
    return stored != 0 ? 1 : 0;
}

} // namespace

void CVeskaroDlg::LoadSaveSchedule(bool save)
{
    WaitCursor waitCursor;
    ISettingsStore& store = m_env.store;

    if (save)
    {
        UpdateData(true);
        for (int i = 0; i < 14; ++i)
            store.WriteProfileInt(m_strSection, DayValueName(i), DayFlag(i));
        store.WriteProfileInt(m_strSection, L"m_bTurnOffLockPC", m_bTurnOffLockPC);
        store.WriteProfileString(m_strSection, L"m_oTimeTurnOff", TimeText(m_oTimeTurnOff));
        store.WriteProfileString(m_strSection, L"m_oTimeTurnOn", TimeText(m_oTimeTurnOn));
        store.WriteProfileInt(m_strSection, L"m_bAutoDisplayBlackScreen", m_bAutoDisplayBlackScreen);
        return;
    }

    for (int i = 0; i < 14; ++i)
        DayFlag(i) = AsFlag(store.GetProfileInt(m_strSection, DayValueName(i), DayFlag(i)));
    m_bTurnOffLockPC = AsFlag(store.GetProfileInt(m_strSection, L"m_bTurnOffLockPC", m_bTurnOffLockPC));
    // A text that does not parse leaves the time invalid, so it never fires; an
    // empty one leaves the start-up time.
    const std::wstring turnOff = store.GetProfileString(m_strSection, L"m_oTimeTurnOff", L"");
    if (!turnOff.empty())
        m_oTimeTurnOff.ParseDateTime(turnOff);
    const std::wstring turnOn = store.GetProfileString(m_strSection, L"m_oTimeTurnOn", L"");
    if (!turnOn.empty())
        m_oTimeTurnOn.ParseDateTime(turnOn);
    m_bAutoDisplayBlackScreen =
        AsFlag(store.GetProfileInt(m_strSection, L"m_bAutoDisplayBlackScreen", m_bAutoDisplayBlackScreen));
}

void CVeskaroDlg::OnScheduleCheckBoxClicked()
{
    LoadSaveSchedule(true);
}

void CVeskaroDlg::OnScheduleTimeChanged(const NMHDR*, LRESULT* result)
{
    LoadSaveSchedule(true);
    *result = 0;
}

} // namespace veskaro
