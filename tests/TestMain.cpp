// Test programs run on the user-interface thread model of the program: COM as a
// single-threaded apartment and the common controls registered. The nights bring their own runner.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#ifdef VESKARO_NIGHTS
namespace veskaro::testing { int Main(int argc, char** argv); }
#endif

int main(int argc, char** argv)
{
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_WIN95_CLASSES;
    ::InitCommonControlsEx(&controls);
    ::OleInitialize(nullptr);
#ifdef VESKARO_NIGHTS
    const int result = veskaro::testing::Main(argc, argv);
#else
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
#endif
    ::OleUninitialize();
    return result;
}
