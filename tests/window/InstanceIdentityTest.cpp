// Instance identity: the handshake answer and the instance number among other windows
// that bear the application's title.
#include "window/WindowTest.h"

#include "app/InstanceIdentity.h"
#include "res/resource.h"

namespace veskaro::testing {
namespace {

// A top-level window titled like the application. It answers the handshake with
// `answer` (0: not at all) and the number query with `number`.
class TitledWindow
{
public:
    TitledWindow(const wchar_t* className, const wchar_t* title, LRESULT answer, int number, HWND owner = nullptr)
        : m_answer(answer), m_number(number)
    {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &TitledWindow::Proc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = className;
        ::RegisterClassW(&wc);
        m_hWnd = ::CreateWindowExW(0, className, title, WS_OVERLAPPED, 0, 0, 10, 10, owner, nullptr,
                                   wc.hInstance, this);
    }
    ~TitledWindow() { ::DestroyWindow(m_hWnd); }
    TitledWindow(const TitledWindow&) = delete;
    TitledWindow& operator=(const TitledWindow&) = delete;
    HWND m_hWnd = nullptr;

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NCCREATE)
            ::SetWindowLongPtrW(window, GWLP_USERDATA,
                                reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
        auto* self = reinterpret_cast<TitledWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self && message == WM_INSTANCE_HANDSHAKE)
            return self->m_answer;
        if (self && message == WM_INSTANCE_QUERY)
            return self->m_number;
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    LRESULT m_answer;
    int m_number;
};

using InstanceIdentity = MainWindowTest;

TEST_F(InstanceIdentity, HandshakeAnswersTheSumOfItsParameters)
{
    OpenMainWindow();
    EXPECT_EQ(Send(WM_INSTANCE_HANDSHAKE, 10, 12), 22);
    EXPECT_EQ(Send(WM_INSTANCE_HANDSHAKE, 1, 2), 3);
    EXPECT_EQ(Send(WM_INSTANCE_QUERY), 1);

    // A second start hands over, letting this process take the foreground: Windows gives it
    // only to the process the user just started. The window's own message box, titled alike
    // and above it, answers nothing and is passed over.
    TitledWindow box(L"VeskaroTestBox", kTestAppName, 0, 0, Window());
    ASSERT_TRUE(HandOverToRunningInstance(m_outside, kTestAppName, ID_CONFIGURE));
    EXPECT_EQ(m_outside.foregroundAllowed, std::vector<DWORD>{::GetCurrentProcessId()});
    PumpMessages();
    EXPECT_TRUE(::IsWindowVisible(Window()));
    EXPECT_FALSE(HandOverToRunningInstance(m_outside, L"VeskaroTest Nobody", ID_CONFIGURE));
}

TEST_F(InstanceIdentity, FirstInstanceIsNumberOneWithoutSuffix)
{
    OpenMainWindow();
    EXPECT_EQ(Dlg().m_iInstance, 1);
    EXPECT_EQ(Dlg().m_strSection, L"Settings 1");
    EXPECT_EQ(Dlg().m_strInstanceSuffix, L"");
}

TEST_F(InstanceIdentity, CountsOnlyWindowsThatAnswerAndAreNotShellWindows)
{
    TitledWindow running(L"VeskaroTestRunning", kTestAppName, 22, 1);
    TitledWindow silent(L"VeskaroTestSilent", kTestAppName, 0, 2);
    TitledWindow folder(L"CabinetWClass", kTestAppName, 22, 3);
    TitledWindow other(L"VeskaroTestOther", L"VeskaroTest Notes", 22, 4);
    m_env.allowMultipleInstances = true;
    OpenMainWindow();
    EXPECT_EQ(Dlg().m_iInstance, 2);
    EXPECT_EQ(Dlg().m_strSection, L"Settings 2");
    EXPECT_EQ(Dlg().m_strInstanceSuffix, L"   Instance 2");
}

TEST_F(InstanceIdentity, TakesTheLowestFreeNumberAfterAnInstanceEnded)
{
    // Instances 1 and 3 run; 2 has ended. Counting would give 3 and share a schedule.
    TitledWindow first(L"VeskaroTestFirst", kTestAppName, 22, 1);
    TitledWindow third(L"VeskaroTestThird", kTestAppName, 22, 3);
    OpenMainWindow();
    EXPECT_EQ(Dlg().m_iInstance, 2);
    EXPECT_EQ(Dlg().m_strSection, L"Settings 2");
}

TEST_F(InstanceIdentity, RenamedExecutableStillCountsItself)
{
    m_env.applicationName = L"Vesk";
    OpenMainWindow();
    EXPECT_EQ(Dlg().m_iInstance, 1);
    EXPECT_EQ(Dlg().m_strSection, L"Settings 1");
    wchar_t title[64] = {};
    ::GetWindowTextW(Window(), title, 64);
    EXPECT_STREQ(title, L"Vesk");
}

} // namespace
} // namespace veskaro::testing
