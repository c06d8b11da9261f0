// The two pop-up menus as the resources define them, the tray menu's bold default item,
// and the About item of the system menu.
#include "window/WindowTest.h"

#include "res/resource.h"

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

// Expects the items, with one separator between each two and nothing greyed or checked.
void ExpectItemsWithSeparators(HMENU menu, const std::vector<std::pair<UINT, std::wstring>>& expected)
{
    const std::vector<MenuItem> items = Items(menu);
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
        EXPECT_EQ(items[i].text, expected[i / 2].second);
        EXPECT_EQ(items[i].state & (MFS_GRAYED | MFS_CHECKED), 0u);
    }
}

class OwnedMenu
{
public:
    explicit OwnedMenu(UINT id) : m_menu(::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id))) {}
    ~OwnedMenu() { ::DestroyMenu(m_menu); }
    OwnedMenu(const OwnedMenu&) = delete;
    OwnedMenu& operator=(const OwnedMenu&) = delete;
    HMENU Get() const { return m_menu; }

private:
    HMENU m_menu;
};

TEST(MenuResources, MainPopupHasTheTwelveCommandsInOrder)
{
    OwnedMenu menu(IDR_MENU_MAIN);
    ASSERT_NE(menu.Get(), nullptr);
    ASSERT_EQ(::GetMenuItemCount(menu.Get()), 1);
    wchar_t name[32] = {};
    ::GetMenuStringW(menu.Get(), 0, name, 32, MF_BYPOSITION);
    EXPECT_STREQ(name, L"POPUP");
    // "&&" in the resource is one literal ampersand in the item text's own form.
    ExpectItemsWithSeparators(::GetSubMenu(menu.Get(), 0),
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
    OwnedMenu menu(IDR_MENU_TRAY);
    ASSERT_NE(menu.Get(), nullptr);
    ASSERT_EQ(::GetMenuItemCount(menu.Get()), 1);
    wchar_t name[32] = {};
    ::GetMenuStringW(menu.Get(), 0, name, 32, MF_BYPOSITION);
    EXPECT_STREQ(name, L"SYSTEMTRAY");
    ExpectItemsWithSeparators(::GetSubMenu(menu.Get(), 0),
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

} // namespace
} // namespace veskaro::testing
