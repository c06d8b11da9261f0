// One contract for both backings of the settings store.
#include "app/MemoryStore.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <memory>

#if defined(_WIN32)
#include "app/RegistryStore.h"
#include "framework/Handles.h"
#endif

using namespace veskaro;

namespace {

// A backing under test, with a way to plant a value of a type the program never writes.
struct Backing
{
    std::unique_ptr<ISettingsStore> store;
    std::function<void(const std::wstring& section, const std::wstring& name)> putForeign;
    std::function<void()> cleanUp;
};

using BackingFactory = Backing (*)();

Backing MakeMemory()
{
    auto memory = std::make_unique<CMemoryStore>();
    CMemoryStore* raw = memory.get();
    return {std::move(memory), [raw](const std::wstring& s, const std::wstring& n) { raw->PutForeignValue(s, n); },
            [] {}};
}

#if defined(_WIN32)
// A scratch key inside the test's own Wine prefix, removed afterwards.
Backing MakeRegistry()
{
    const std::wstring path = L"Software\\Ortavel-Tests\\Store" + std::to_wstring(::GetCurrentProcessId());
    auto registry = std::make_unique<CRegistryStore>(path);
    auto putForeign = [path](const std::wstring& section, const std::wstring& name) {
        UniqueKey key;
        const std::wstring full = section.empty() ? path : path + L"\\" + section;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, full.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.Put(),
                                    nullptr),
                  ERROR_SUCCESS);
        const BYTE blob[3] = {1, 2, 3};
        ::RegSetValueExW(key.Get(), name.c_str(), 0, REG_BINARY, blob, sizeof(blob));
    };
    auto cleanUp = [path] { ::RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str()); ::RegDeleteKeyW(HKEY_CURRENT_USER, path.c_str()); };
    cleanUp();
    return {std::move(registry), putForeign, cleanUp};
}
#endif

class StoreContract : public ::testing::TestWithParam<BackingFactory>
{
protected:
    void SetUp() override { m_backing = GetParam()(); }
    void TearDown() override { m_backing.cleanUp(); }
    ISettingsStore& Store() { return *m_backing.store; }
    Backing m_backing;
};

TEST_P(StoreContract, AbsentValuesGiveTheDefaultsAndEmptyTextsStayEmpty)
{
    EXPECT_EQ(Store().GetProfileInt(L"", L"m_iLockTurnOffDelay", 1000), 1000);
    EXPECT_EQ(Store().GetProfileString(L"", L"m_sMonitorOnText", L"Monitor On"), L"Monitor On");

    Store().WriteProfileString(L"", L"m_sMonitorOnText", L"");
    EXPECT_EQ(Store().GetProfileString(L"", L"m_sMonitorOnText", L"Monitor On"), L"");
}

TEST_P(StoreContract, IntegersRoundTripAsSigned32Bit)
{
    for (int value : {0, 1, -1, 1000, INT_MAX, INT_MIN})
    {
        EXPECT_TRUE(Store().WriteProfileInt(L"", L"m_iLockTurnOffDelay", value));
        EXPECT_EQ(Store().GetProfileInt(L"", L"m_iLockTurnOffDelay", 7), value);
    }
}

TEST_P(StoreContract, ValuesOfAnotherTypeReadAsAbsent)
{
    Store().WriteProfileString(L"", L"AllowMultipleInstances", L"1");
    EXPECT_EQ(Store().GetProfileInt(L"", L"AllowMultipleInstances", 0), 0);

    Store().WriteProfileInt(L"", L"LogFilePath", 5);
    EXPECT_EQ(Store().GetProfileString(L"", L"LogFilePath", L"none"), L"none");

    m_backing.putForeign(L"Settings 1", L"m_bDay1");
    m_backing.putForeign(L"Settings 1", L"m_oTimeTurnOff");
    EXPECT_EQ(Store().GetProfileInt(L"Settings 1", L"m_bDay1", 0), 0);
    EXPECT_EQ(Store().GetProfileString(L"Settings 1", L"m_oTimeTurnOff", L""), L"");
}

TEST_P(StoreContract, SectionsAreSeparateAndLongTextsSurvive)
{
    Store().WriteProfileInt(L"Settings 1", L"m_bDay3", 1);
    EXPECT_EQ(Store().GetProfileInt(L"Settings 2", L"m_bDay3", 0), 0);
    EXPECT_EQ(Store().GetProfileInt(L"", L"m_bDay3", 0), 0);
    EXPECT_EQ(Store().GetProfileInt(L"Settings 1", L"m_bDay3", 0), 1);

    const std::wstring text(100000, L'x');
    EXPECT_TRUE(Store().WriteProfileString(L"Settings 2", L"m_oTimeTurnOn", text));
    EXPECT_EQ(Store().GetProfileString(L"Settings 2", L"m_oTimeTurnOn", L""), text);

    // The last write wins, whatever the type was before.
    Store().WriteProfileInt(L"Settings 2", L"m_oTimeTurnOn", 3);
    Store().WriteProfileString(L"Settings 2", L"m_oTimeTurnOn", L"10:30:00 PM");
    EXPECT_EQ(Store().GetProfileString(L"Settings 2", L"m_oTimeTurnOn", L""), L"10:30:00 PM");
}

INSTANTIATE_TEST_SUITE_P(Memory, StoreContract, ::testing::Values(&MakeMemory));
#if defined(_WIN32)
INSTANTIATE_TEST_SUITE_P(Registry, StoreContract, ::testing::Values(&MakeRegistry));
#endif

} // namespace
