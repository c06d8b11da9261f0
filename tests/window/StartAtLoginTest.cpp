// Start at login: a scratch Run key for most cases, and the Run key path the program uses
// once, inside the test process's own profile, with the value removed afterwards.
#include "window/WindowTest.h"

#include "app/ModulePath.h"
#include "settings/RunValueText.h"
#include "settings/StartAtLogin.h"

#include <vector>

namespace veskaro::testing {
namespace {

// A registry value as it is stored.
struct StoredValue
{
    bool exists = false;
    DWORD type = 0;
    std::vector<BYTE> bytes;
};

StoredValue ReadStored(const std::wstring& keyPath, const std::wstring& name)
{
    StoredValue value;
    UniqueKey key;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_QUERY_VALUE, key.Put()) != ERROR_SUCCESS)
        return value;
    DWORD size = 0;
    if (::RegQueryValueExW(key.Get(), name.c_str(), nullptr, &value.type, nullptr, &size) != ERROR_SUCCESS)
        return value;
    value.bytes.resize(size);
    if (::RegQueryValueExW(key.Get(), name.c_str(), nullptr, &value.type, value.bytes.data(), &size) == ERROR_SUCCESS)
        value.exists = true;
    value.bytes.resize(size);
    return value;
}

std::vector<BYTE> TextBytes(const std::wstring& text, bool terminated = true)
{
    const auto* first = reinterpret_cast<const BYTE*>(text.c_str());
    return std::vector<BYTE>(first, first + (text.size() + (terminated ? 1 : 0)) * sizeof(wchar_t));
}

bool KeyExists(const std::wstring& keyPath)
{
    UniqueKey key;
    return ::RegOpenKeyExW(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_READ, key.Put()) == ERROR_SUCCESS;
}

// A file that exists for the test's duration.
class ExistingFile : public ScratchFile
{
public:
    explicit ExistingFile(const std::wstring& name) : ScratchFile(name)
    {
        UniqueFile file(::CreateFileW(Path().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        EXPECT_TRUE(file) << "cannot create " << std::string(Path().begin(), Path().end());
    }
};

// A folder chain under %TEMP% deep enough that a file in it has a path of at least
// `length` characters; removed afterwards.
class DeepFile
{
public:
    explicit DeepFile(size_t length)
    {
        wchar_t temp[MAX_PATH + 1] = {};
        ::GetTempPathW(MAX_PATH + 1, temp);
        std::wstring folder = std::wstring(temp) + L"veskaro-deep-" + std::to_wstring(::GetCurrentProcessId());
        const std::wstring level = L"\\level-with-a-rather-long-name-0123456789";
        for (;;)
        {
            // The \\?\ form lets each level pass MAX_PATH on every Windows.
            if (!::CreateDirectoryW((L"\\\\?\\" + folder).c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS)
                break;
            m_folders.push_back(folder);
            if (folder.size() + 12 >= length)
                break;
            folder += level;
        }
        m_path = folder + L"\\Veskaro.exe";
        UniqueFile file(
            ::CreateFileW((L"\\\\?\\" + m_path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        m_created = static_cast<bool>(file);
    }
    ~DeepFile()
    {
        ::DeleteFileW((L"\\\\?\\" + m_path).c_str());
        for (auto it = m_folders.rbegin(); it != m_folders.rend(); ++it)
            ::RemoveDirectoryW((L"\\\\?\\" + *it).c_str());
    }
    DeepFile(const DeepFile&) = delete;
    DeepFile& operator=(const DeepFile&) = delete;
    const std::wstring& Path() const { return m_path; }
    bool Created() const { return m_created; }

private:
    std::vector<std::wstring> m_folders;
    std::wstring m_path;
    bool m_created = false;
};

class StartAtLoginTest : public ::testing::Test
{
protected:
    StartAtLoginTest() : m_runKey(L"Run-" + Widen(::testing::UnitTest::GetInstance()->current_test_info()->name()))
    {
        UniqueKey key;
        EXPECT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, m_runKey.Path().c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                    nullptr, key.Put(), nullptr),
                  ERROR_SUCCESS);
    }

    // Stores raw data under the application's name, as another program might.
    void Store(DWORD type, std::vector<BYTE> bytes)
    {
        // The registry adds a terminator that a text's count left out when one follows in
        // memory; a non-zero unit after the data keeps the value exactly as given.
        const DWORD size = static_cast<DWORD>(bytes.size());
        bytes.push_back('!');
        bytes.push_back(0);
        UniqueKey key;
        ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, m_runKey.Path().c_str(), 0, KEY_SET_VALUE, key.Put()),
                  ERROR_SUCCESS);
        ASSERT_EQ(::RegSetValueExW(key.Get(), kName, 0, type, bytes.data(), size), ERROR_SUCCESS);
        bytes.resize(size);
        // The cases below depend on the stored bytes being exactly these.
        const StoredValue stored = ReadStored(m_runKey.Path(), kName);
        ASSERT_EQ(stored.type, type);
        ASSERT_EQ(stored.bytes, bytes);
    }
    void StoreText(const std::wstring& text, DWORD type = REG_SZ) { Store(type, TextBytes(text)); }
    bool Enabled() { return IsStartAtLoginEnabled(kName, m_runKey.Path()); }

    static constexpr const wchar_t* kName = kTestAppName;
    ScratchKey m_runKey;
};

TEST_F(StartAtLoginTest, EnableWritesTheQuotedCommandAndDisableRemovesIt)
{
    StoreText(L"Some other program", REG_SZ);
    {
        UniqueKey key;
        ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, m_runKey.Path().c_str(), 0, KEY_SET_VALUE, key.Put()),
                  ERROR_SUCCESS);
        const std::vector<BYTE> other = TextBytes(L"C:\\Other\\Other.exe");
        ::RegSetValueExW(key.Get(), L"Other", 0, REG_SZ, other.data(), static_cast<DWORD>(other.size()));
    }

    SetStartAtLogin(kName, true, m_runKey.Path());
    const std::wstring modulePath = GetModulePath();
    ASSERT_FALSE(modulePath.empty());
    const StoredValue written = ReadStored(m_runKey.Path(), kName);
    ASSERT_TRUE(written.exists);
    EXPECT_EQ(written.type, static_cast<DWORD>(REG_SZ));
    // Size counts the terminator: (characters + 1) * 2.
    EXPECT_EQ(written.bytes, TextBytes(L"\"" + modulePath + L"\" :silent"));
    EXPECT_TRUE(Enabled());

    SetStartAtLogin(kName, false, m_runKey.Path());
    EXPECT_FALSE(ReadStored(m_runKey.Path(), kName).exists);
    EXPECT_FALSE(Enabled());
    // Deleting again is no error, and other programs' values stay.
    SetStartAtLogin(kName, false, m_runKey.Path());
    EXPECT_EQ(ReadStored(m_runKey.Path(), L"Other").bytes, TextBytes(L"C:\\Other\\Other.exe"));
}

TEST_F(StartAtLoginTest, AMissingRunKeyIsNeverCreated)
{
    const std::wstring missing = m_runKey.Path() + L"\\Missing";
    SetStartAtLogin(kName, true, missing);
    EXPECT_FALSE(KeyExists(missing));
    EXPECT_FALSE(IsStartAtLoginEnabled(kName, missing));
    SetStartAtLogin(kName, false, missing);
    EXPECT_FALSE(KeyExists(missing));
}

TEST_F(StartAtLoginTest, QuotedAndOldUnquotedFormsReadAsEnabledWhileTheFileExists)
{
    ExistingFile file(L"start at login.exe"); // blanks in the name, as under Program Files
    const std::wstring path = file.Path();

    for (const std::wstring& text :
         {RunValueText(path), L"\"" + path + L"\"", L"  \"" + path + L"\"\t:silent  ", path + L" :silent", path})
    {
        StoreText(text);
        EXPECT_TRUE(Enabled()) << std::string(text.begin(), text.end());
    }
    StoreText(RunValueText(path), REG_EXPAND_SZ);
    EXPECT_TRUE(Enabled()) << "an expandable value without variables is used as stored";

    ::DeleteFileW(path.c_str());
    for (const std::wstring& text : {RunValueText(path), path + L" :silent"})
    {
        StoreText(text);
        EXPECT_FALSE(Enabled()) << "file gone: " << std::string(text.begin(), text.end());
    }
}

TEST_F(StartAtLoginTest, ValuesThatNameNothingReadAsNotEnabled)
{
    for (const std::wstring& text : {std::wstring(), std::wstring(L":silent"), std::wstring(L"\"\" :silent"),
                                     std::wstring(L"C:\\no\\such\\Veskaro.exe :silent")})
    {
        StoreText(text);
        EXPECT_FALSE(Enabled()) << std::string(text.begin(), text.end());
    }
    Store(REG_SZ, {});
    EXPECT_FALSE(Enabled()) << "no bytes at all";
}

TEST_F(StartAtLoginTest, ExpandableValueWithAVariableIsNotExpanded)
{
    ExistingFile file(L"expand.exe");
    wchar_t temp[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH + 1, temp);
    const std::wstring name = file.Path().substr(std::wstring(temp).size());
    // Expanded, %TEMP%\<name> would be the existing file.
    wchar_t expanded[1024] = {};
    ::ExpandEnvironmentStringsW((L"%TEMP%\\" + name).c_str(), expanded, 1024);
    ASSERT_NE(::GetFileAttributesW(expanded), INVALID_FILE_ATTRIBUTES);

    StoreText(L"\"%TEMP%\\" + name + L"\" :silent", REG_EXPAND_SZ);
    EXPECT_FALSE(Enabled());
}

TEST_F(StartAtLoginTest, OtherTypesOddSizesAndMissingTerminatorsReadAsNotEnabled)
{
    ExistingFile file(L"types.exe");
    const std::wstring text = RunValueText(file.Path());
    StoreText(text);
    ASSERT_TRUE(Enabled()) << "the same text as REG_SZ is enabled";

    Store(REG_BINARY, TextBytes(text));
    EXPECT_FALSE(Enabled()) << "REG_BINARY";
    std::vector<BYTE> multi = TextBytes(text);
    multi.push_back(0);
    multi.push_back(0);
    Store(REG_MULTI_SZ, multi);
    EXPECT_FALSE(Enabled()) << "REG_MULTI_SZ";
    const DWORD number = 1;
    Store(REG_DWORD, std::vector<BYTE>(reinterpret_cast<const BYTE*>(&number),
                                       reinterpret_cast<const BYTE*>(&number) + sizeof(number)));
    EXPECT_FALSE(Enabled()) << "REG_DWORD";

    std::vector<BYTE> odd = TextBytes(text);
    odd.push_back(0);
    Store(REG_SZ, odd);
    EXPECT_FALSE(Enabled()) << "odd byte count";
    Store(REG_SZ, TextBytes(text, false));
    EXPECT_FALSE(Enabled()) << "no terminator";
    Store(REG_EXPAND_SZ, TextBytes(text, false));
    EXPECT_FALSE(Enabled()) << "no terminator, expandable";
}

TEST_F(StartAtLoginTest, ValueOfAPathOver300CharactersReadsAsEnabled)
{
    DeepFile file(300);
    ASSERT_TRUE(file.Created());
    ASSERT_GE(file.Path().size(), 300u);

    StoreText(RunValueText(file.Path()));
    EXPECT_TRUE(Enabled()) << "quoted, " << file.Path().size() << " characters";
    StoreText(file.Path() + L" :silent");
    EXPECT_TRUE(Enabled()) << "unquoted";
    StoreText(RunValueText(file.Path() + L"-gone"));
    EXPECT_FALSE(Enabled()) << "a long path that names nothing";
}

TEST_F(StartAtLoginTest, ValueUpToTheLongestCommandLineIsReadAndBeyondItRefused)
{
    // Markers around a real path fill the value up to 32767 characters.
    ExistingFile file(L"limit.exe");
    const std::wstring quoted = L"\"" + file.Path() + L"\"";
    std::wstring text = quoted;
    while (text.size() + 7 <= 32767)
        text = (text.size() % 2 ? L":silent" + text : text + L":silent");
    text.append(32767 - text.size(), L' ');
    ASSERT_EQ(text.size(), 32767u);
    StoreText(text);
    EXPECT_TRUE(Enabled());

    StoreText(text + L" ");
    EXPECT_FALSE(Enabled()) << "one character more than a command line can hold";
}

// The one case on the Run key path the program really uses, inside the tests' own profile.
TEST(StartAtLoginRunKey, EnableAndDisableOnTheSystemRunKey)
{
    const std::wstring name = L"Veskaro-Tests-" + std::to_wstring(::GetCurrentProcessId());
    {
        // A fresh prefix may lack the key that every Windows profile has.
        UniqueKey key;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kRunKeyPath, 0, nullptr, 0, KEY_READ, nullptr, key.Put(),
                                    nullptr),
                  ERROR_SUCCESS);
    }
    EXPECT_FALSE(IsStartAtLoginEnabled(name));

    SetStartAtLogin(name, true);
    const StoredValue written = ReadStored(kRunKeyPath, name);
    EXPECT_EQ(written.bytes, TextBytes(RunValueText(GetModulePath())));
    EXPECT_TRUE(IsStartAtLoginEnabled(name));

    SetStartAtLogin(name, false);
    EXPECT_FALSE(ReadStored(kRunKeyPath, name).exists);
    EXPECT_FALSE(IsStartAtLoginEnabled(name));

    UniqueKey key;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kRunKeyPath, 0, KEY_SET_VALUE, key.Put()) == ERROR_SUCCESS)
        ::RegDeleteValueW(key.Get(), name.c_str());
}

} // namespace
} // namespace veskaro::testing
