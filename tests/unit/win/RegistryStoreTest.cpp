// What the registry may hold that the program never wrote.
#include "app/RegistryStore.h"
#include "framework/Handles.h"

#include <gtest/gtest.h>

#include <string>

using namespace veskaro;

namespace {

class RegistryStoreData : public ::testing::Test
{
protected:
    RegistryStoreData() : m_path(L"Software\\Ortavel-Tests\\Raw" + std::to_wstring(::GetCurrentProcessId())), m_store(m_path)
    {
        ::RegCreateKeyExW(HKEY_CURRENT_USER, m_path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, m_key.Put(), nullptr);
    }
    ~RegistryStoreData() override
    {
        m_key.Reset();
        ::RegDeleteTreeW(HKEY_CURRENT_USER, m_path.c_str());
        ::RegDeleteKeyW(HKEY_CURRENT_USER, m_path.c_str());
    }
    void PutRaw(const wchar_t* name, DWORD type, const void* data, DWORD size)
    {
        ASSERT_EQ(::RegSetValueExW(m_key.Get(), name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    }

    std::wstring m_path;
    CRegistryStore m_store;
    UniqueKey m_key;
};

TEST_F(RegistryStoreData, TextsWithoutTerminatorOrWithOddSizeReadAsAbsent)
{
    // The registry counts a terminator left out when one follows in memory; '!' follows here.
    const wchar_t text[] = {L'a', L'b', L'c', L'!'};
    PutRaw(L"unterminated", REG_SZ, text, 3 * sizeof(wchar_t));
    EXPECT_EQ(m_store.GetProfileString(L"", L"unterminated", L"x"), L"x");
    PutRaw(L"odd", REG_SZ, L"ab", 3 * sizeof(wchar_t) - 1);
    EXPECT_EQ(m_store.GetProfileString(L"", L"odd", L"x"), L"x");
    PutRaw(L"empty", REG_SZ, nullptr, 0);
    EXPECT_EQ(m_store.GetProfileString(L"", L"empty", L"x"), L"");
    const wchar_t embedded[] = L"one\0two";
    PutRaw(L"embedded", REG_SZ, embedded, sizeof(embedded));
    EXPECT_EQ(m_store.GetProfileString(L"", L"embedded", L"x"), L"one");
}

TEST_F(RegistryStoreData, IntegersOfTheWrongSizeOrTypeReadAsAbsent)
{
    const unsigned long long wide = 5;
    PutRaw(L"qword", REG_QWORD, &wide, sizeof(wide));
    EXPECT_EQ(m_store.GetProfileInt(L"", L"qword", -7), -7);
    const BYTE shortDword[2] = {1, 0};
    PutRaw(L"short", REG_DWORD, shortDword, sizeof(shortDword));
    EXPECT_EQ(m_store.GetProfileInt(L"", L"short", -7), -7);
    const DWORD big = 0x80000000u;
    PutRaw(L"big", REG_DWORD, &big, sizeof(big));
    EXPECT_EQ(m_store.GetProfileInt(L"", L"big", 0), INT_MIN);
    const wchar_t expand[] = L"%TEMP%";
    PutRaw(L"expand", REG_EXPAND_SZ, expand, sizeof(expand));
    EXPECT_EQ(m_store.GetProfileString(L"", L"expand", L"d"), L"d");
}

TEST_F(RegistryStoreData, AMegabyteTextReadsWhole)
{
    const std::wstring text(512 * 1024, L'm');
    PutRaw(L"huge", REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    EXPECT_EQ(m_store.GetProfileString(L"", L"huge", L""), text);
}

TEST_F(RegistryStoreData, WritesCreateMissingKeysAndAMissingKeyReadsDefaults)
{
    CRegistryStore missing(m_path + L"\\Nowhere");
    EXPECT_EQ(missing.GetProfileInt(L"Settings 9", L"m_bDay1", 3), 3);
    EXPECT_TRUE(missing.WriteProfileInt(L"Settings 9", L"m_bDay1", 1));
    EXPECT_EQ(missing.GetProfileInt(L"Settings 9", L"m_bDay1", 3), 1);
}

} // namespace
