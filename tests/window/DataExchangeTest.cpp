// Data exchange between controls and members, on a real template.
#include "framework/DataExchange.h"

#include "fakes/FakeOutsideWorld.h"
#include "res/resource.h"
#include "window/WindowTest.h"

namespace veskaro::testing {
namespace {

class ExchangeDialog : public CDialogBase
{
public:
    explicit ExchangeDialog(IOutsideWorld& outside) : CDialogBase(IDD_SETTINGS, outside, kTestAppName) {}
    int m_check = 1;
    int m_number = 1000;
    std::wstring m_text = L"Monitor On";
    int m_after = 0;
    CControl m_edit;

protected:
    void DoDataExchange(CDataExchange& dx) override
    {
        DDX_Check(dx, IDC_ALLOW_MULTIPLE_INSTANCES, m_check);
        DDX_Text(dx, IDC_LOCK_TURN_OFF_DELAY, m_number);
        DDX_Text(dx, IDC_MONITOR_ON_TEXT, m_text);
        DDX_Check(dx, IDC_KEEP_A_LOG, m_after);
        DDX_Control(dx, IDC_MONITOR_OFF_TEXT, m_edit);
    }
};

class DataExchange : public ::testing::Test
{
protected:
    DataExchange() : m_dialog(m_outside) { EXPECT_TRUE(m_dialog.Create(nullptr)); }
    HWND Item(int id) { return ::GetDlgItem(m_dialog.GetSafeHwnd(), id); }
    FakeOutsideWorld m_outside;
    ExchangeDialog m_dialog;
};

TEST_F(DataExchange, FillsControlsAndReadsThemBack)
{
    EXPECT_EQ(::SendMessageW(Item(IDC_ALLOW_MULTIPLE_INSTANCES), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(GetWindowTextString(Item(IDC_LOCK_TURN_OFF_DELAY)), L"1000");
    EXPECT_EQ(GetWindowTextString(Item(IDC_MONITOR_ON_TEXT)), L"Monitor On");
    EXPECT_EQ(m_dialog.m_edit.m_hWnd, Item(IDC_MONITOR_OFF_TEXT));

    ::SendMessageW(Item(IDC_ALLOW_MULTIPLE_INSTANCES), BM_SETCHECK, BST_UNCHECKED, 0);
    ::SetWindowTextW(Item(IDC_LOCK_TURN_OFF_DELAY), L"-5");
    ::SetWindowTextW(Item(IDC_MONITOR_ON_TEXT), L"");
    ::SendMessageW(Item(IDC_KEEP_A_LOG), BM_SETCHECK, BST_CHECKED, 0);
    ASSERT_TRUE(m_dialog.UpdateData(true));
    EXPECT_EQ(m_dialog.m_check, 0);
    EXPECT_EQ(m_dialog.m_number, -5);
    EXPECT_EQ(m_dialog.m_text, L"");
    EXPECT_EQ(m_dialog.m_after, 1);
    EXPECT_TRUE(m_outside.messageBoxes.empty());
}

TEST_F(DataExchange, AFieldWithoutAnIntegerStopsWithTheMessageAndTheFocusOnIt)
{
    for (const wchar_t* bad : {L"", L"99999999999", L"12x"})
    {
        m_outside.messageBoxes.clear();
        m_dialog.m_number = 7;
        m_dialog.m_after = 0;
        ::SetWindowTextW(Item(IDC_LOCK_TURN_OFF_DELAY), bad);
        ::SendMessageW(Item(IDC_KEEP_A_LOG), BM_SETCHECK, BST_CHECKED, 0);
        EXPECT_FALSE(m_dialog.UpdateData(true));
        ASSERT_EQ(m_outside.messageBoxes.size(), 1u);
        EXPECT_EQ(m_outside.messageBoxes[0].text, L"Please enter an integer.");
        EXPECT_EQ(m_outside.messageBoxes[0].caption, kTestAppName);
        EXPECT_EQ(m_outside.messageBoxes[0].type, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
        EXPECT_EQ(::GetFocus(), Item(IDC_LOCK_TURN_OFF_DELAY));
        EXPECT_EQ(m_dialog.m_number, 7);
        EXPECT_EQ(m_dialog.m_after, 0) << "the exchange stops at the bad field";
    }
}

TEST_F(DataExchange, ModelessDialogAnswersThroughItsDispatch)
{
    // Enter and Escape end a modeless dialog by hiding it.
    ::ShowWindow(m_dialog.GetSafeHwnd(), SW_SHOW);
    ::SendMessageW(m_dialog.GetSafeHwnd(), WM_COMMAND, IDCANCEL, 0);
    EXPECT_FALSE(::IsWindowVisible(m_dialog.GetSafeHwnd()));
    EXPECT_TRUE(::IsWindow(m_dialog.GetSafeHwnd()));
}

} // namespace
} // namespace veskaro::testing
