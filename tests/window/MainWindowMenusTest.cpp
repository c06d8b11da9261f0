// The two pop-up menus as the resources define them, the tray menu's bold default item,
// the About item of the system menu, and every window as the keyboard and screen readers meet it.
#include "window/WindowTest.h"

#include "framework/DataExchange.h"
#include "power/DlgNotice.h"
#include "res/resource.h"
#include "schedule/DlgScheduleEdit.h"
#include "schedule/DlgSchedules.h"
#include "settings/DlgSettings.h"
#include "ui/AboutDlg.h"

#include <cwctype>
#include <set>
#include <vector>

namespace veskaro::testing {
namespace {

struct MenuItem
{
    UINT id;
    std::wstring text; // empty for a separator
    bool separator;
    UINT state;
};

// A text's access key in upper case (0: none), and the text without its "&"; "&&" shows one ampersand.
std::pair<wchar_t, std::wstring> AccessKey(std::wstring text)
{
    for (std::size_t i = 0; i + 1 < text.size(); i += text[i] == L'&' ? 2 : 1)
        if (text[i] == L'&' && text[i + 1] != L'&')
            return {static_cast<wchar_t>(::towupper(text[i + 1])), text.erase(i, 1)};
    return {0, text};
}

std::vector<MenuItem> Items(HMENU menu)
{
    std::vector<MenuItem> items;
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i)
    {
        wchar_t text[256] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STATE | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = 256;
        EXPECT_TRUE(::GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info));
        items.push_back({info.wID, text, (info.fType & MFT_SEPARATOR) != 0, info.fState});
    }
    return items;
}

// Expects the menu's one pop-up, so named, with the items: separators between, none greyed or checked, a key each.
void ExpectPopup(HMENU menu, const wchar_t* name, const std::vector<std::pair<UINT, std::wstring>>& expected)
{
    ASSERT_EQ(::GetMenuItemCount(menu), 1); // -1 for no menu
    EXPECT_EQ(Items(menu)[0].text, name);
    const std::vector<MenuItem> items = Items(::GetSubMenu(menu, 0));
    std::set<wchar_t> keys;
    ASSERT_EQ(items.size(), expected.size() * 2 - 1);
    for (std::size_t i = 0; i < items.size(); ++i)
    {
        SCOPED_TRACE(i);
        if (i % 2 == 1)
        {
            EXPECT_TRUE(items[i].separator);
            continue;
        }
        EXPECT_FALSE(items[i].separator);
        EXPECT_EQ(items[i].id, expected[i / 2].first);
        EXPECT_EQ(AccessKey(items[i].text).second, expected[i / 2].second);
        EXPECT_TRUE(AccessKey(items[i].text).first && keys.insert(AccessKey(items[i].text).first).second);
        EXPECT_EQ(items[i].state & (MFS_GRAYED | MFS_CHECKED), 0u);
    }
}

TEST(MenuResources, MainPopupHasTheTwelveCommandsInOrder)
{
    UniqueMenu menu(::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MENU_MAIN)));
    // "&&" in the resource is one literal ampersand in the item text's own form.
    ExpectPopup(menu.Get(), L"POPUP",
                {{ID_TURN_OFF_MONITORS_NOW, L"Turn Off Monitor(s) Now"},
                 {ID_LOCK_PC_NOW, L"Lock PC Now"},
                 {ID_TURN_OFF_AND_ON_AFTER_10_SECONDS, L"Turn Off Monitor(s) Now && Turn On After 10 Seconds"},
                 {ID_DISPLAY_BLACK_SCREEN, L"Display Black Screen"},
                 {ID_HOW_CAN_MONITORS_TURN_ON, L"How Can Monitor(s) Turn On ?"},
                 {ID_CONTACT_SUPPORT, L"Contact Support..."},
                 {ID_HIDE_TO_SYSTEM_TRAY, L"Hide to System Tray"},
                 {ID_SHARE_LINK, L"Share on Facebook..."},
                 {ID_SCHEDULES, L"Schedules..."},
                 {ID_SETTINGS, L"Settings..."},
                 {ID_CLEAR_MONITOR_STATE_LIST, L"Clear Monitor State List"},
                 {ID_SKIP_NEXT_TURN_OFF, L"Skip the Next Turn-Off"},
                 {ID_POSTPONE_NEXT_TURN_OFF, L"Postpone the Next Turn-Off by 15 Minutes"},
                 {ID_EXIT, L"Exit"}});
    EXPECT_EQ(ID_TURN_OFF_MONITORS_NOW, 32772);
    EXPECT_EQ(ID_POSTPONE_NEXT_TURN_OFF, 32786);
    EXPECT_EQ(ID_EXIT, 32771);
}

TEST(MenuResources, TrayPopupHasConfigureSkipAndExit)
{
    UniqueMenu menu(::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MENU_TRAY)));
    ExpectPopup(menu.Get(), L"SYSTEMTRAY",
                {{ID_CONFIGURE, L"Configure..."}, {ID_SKIP_NEXT_TURN_OFF, L"Skip the Next Turn-Off"},
                 {ID_POSTPONE_NEXT_TURN_OFF, L"Postpone the Next Turn-Off by 15 Minutes"},
                 {ID_TRAY_EXIT, L"Exit"}});
    EXPECT_EQ(ID_CONFIGURE, 32778);
    EXPECT_EQ(ID_TRAY_EXIT, 32777);
    // The resource itself marks no default: the window sets it once the icon is in the tray.
    EXPECT_EQ(::GetMenuDefaultItem(::GetSubMenu(menu.Get(), 0), FALSE, 0), static_cast<UINT>(-1));
}

TEST(MenuResources, AboutItemTextIsString101)
{
    wchar_t text[64] = {};
    ASSERT_GT(::LoadStringW(::GetModuleHandleW(nullptr), IDS_ABOUTBOX, text, 64), 0);
    EXPECT_STREQ(text, L"&About Veskaro...");
}

using MainWindowMenus = MainWindowTest;

TEST_F(MainWindowMenus, ConfigureIsTheBoldDefaultOnceTheIconIsAdded)
{
    OpenMainWindow();
    HMENU tray = ::GetSubMenu(Dlg().m_menuTray.Get(), 0);
    ASSERT_NE(tray, nullptr);
    EXPECT_EQ(::GetMenuDefaultItem(tray, FALSE, 0), static_cast<UINT>(ID_CONFIGURE));
    EXPECT_EQ(::GetMenuState(tray, ID_CONFIGURE, MF_BYCOMMAND) & MF_DEFAULT, static_cast<UINT>(MF_DEFAULT));
    // The main pop-up has no default.
    EXPECT_EQ(::GetMenuDefaultItem(::GetSubMenu(Dlg().m_menuMain.Get(), 0), FALSE, 0), static_cast<UINT>(-1));
}

TEST_F(MainWindowMenus, NoDefaultItemWhenTheIconCouldNotBeAdded)
{
    m_outside.notifyIconSucceeds = false;
    OpenMainWindow();
    HMENU tray = ::GetSubMenu(Dlg().m_menuTray.Get(), 0);
    ASSERT_NE(tray, nullptr);
    EXPECT_EQ(::GetMenuDefaultItem(tray, FALSE, 0), static_cast<UINT>(-1));
}

TEST_F(MainWindowMenus, SystemMenuEndsWithSeparatorAndAboutItem)
{
    OpenMainWindow();
    HMENU system = ::GetSystemMenu(Window(), FALSE);
    ASSERT_NE(system, nullptr);
    const std::vector<MenuItem> items = Items(system);
    ASSERT_GE(items.size(), 2u);
    const MenuItem& about = items.back();
    EXPECT_EQ(about.id, static_cast<UINT>(IDM_ABOUTBOX));
    EXPECT_EQ(about.id, 16u);
    EXPECT_EQ(about.text, L"&About Veskaro...");
    EXPECT_TRUE(items[items.size() - 2].separator);
    // Added once, not once per some later event.
    int aboutItems = 0;
    for (const MenuItem& item : items)
        aboutItems += item.id == IDM_ABOUTBOX ? 1 : 0;
    EXPECT_EQ(aboutItems, 1);
}

// Every window, opened for real: Tab reaches each visible, enabled tab stop; each control stands below or right of the
// one before, named uniquely (text, label's, one set); tab stops but OK and Cancel have unique keys, or their box's.
TEST_F(MainWindowMenus, EveryWindowServesTheKeyboardAndScreenReaders)
{
    OpenMainWindow();
    std::unique_ptr<CDialogBase> windows[] = {nullptr /* the main window */, std::make_unique<CDlgSettings>(m_env),
        std::make_unique<CDlgSchedules>(Dlg()), std::make_unique<CDlgScheduleEdit>(m_outside, L"", Schedule()),
        std::make_unique<CAboutDlg>(m_outside, L""), std::make_unique<CDlgNotice>(m_outside)};
    auto& names = m_outside.accessibleNames;
    int controls = 0;
    for (const auto& dialog : windows)
    {
        ASSERT_TRUE(!dialog || dialog->Create(Window()));
        const HWND window = dialog ? dialog->GetSafeHwnd() : Window();
        std::set<HWND> reached; // by Tab, round to where it began
        for (HWND tab = nullptr; reached.insert(tab = ::GetNextDlgTabItem(window, tab, FALSE)).second;) {}
        std::set<std::wstring> taken; // the names, and the keys after an "&"
        RECT r{}, last{0, 0, 0, LONG_MIN};
        for (HWND c = ::GetWindow(window, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT))
        {
            const auto [own, text] = AccessKey(GetWindowTextString(c));
            const auto [labelKey, label] = AccessKey(GetWindowTextString(::GetWindow(c, GW_HWNDPREV)));
            const LONG style = ::GetWindowLongW(c, GWL_STYLE), code = ::SendMessageW(c, WM_GETDLGCODE, 0, 0);
            const LONG prev = ::SendMessageW(::GetWindow(c, GW_HWNDPREV), WM_GETDLGCODE, 0, 0);
            if (code & DLGC_STATIC)
                continue;
            const std::wstring name = names.count(c) ? names[c] : code & DLGC_BUTTON ? text : prev & DLGC_STATIC ? label : L"";
            const wchar_t key = code & DLGC_BUTTON && own ? own : prev & DLGC_STATIC ? labelKey : 0;
            ::GetWindowRect(c, &r);
            EXPECT_TRUE(r.top >= last.bottom || r.left >= last.right) << name << ": out of reading order";
            EXPECT_TRUE(!name.empty() && taken.insert(name).second) << "name \"" << name << "\"";
            EXPECT_TRUE(!(style & WS_TABSTOP) || ::GetDlgCtrlID(c) <= IDCANCEL || (key && taken.insert({L'&', key}).second)
                        || (!(code & DLGC_BUTTON) && (prev & DLGC_BUTTON) && labelKey)) << name << ": access key";
            EXPECT_EQ(reached.erase(c) == 1, (style & (WS_VISIBLE | WS_DISABLED | WS_TABSTOP)) == (WS_VISIBLE | WS_TABSTOP)) << name;
            last = r, ++controls;
        }
    }
    EXPECT_EQ(controls, 73) << "controls walked in the 6 windows";
}

} // namespace
} // namespace veskaro::testing
