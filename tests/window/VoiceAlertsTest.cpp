// Voice alerts: which phrase is spoken for which change, the voice's life, and the real
// speech voice through COM.
#include "window/PowerBroadcast.h"
#include "window/WindowTest.h"

#include "framework/OutsideWorld.h"
#include "notify/TextSpeaker.h"

#include <sapi.h>

#include <algorithm>

namespace veskaro::testing {
namespace {

class VoiceAlerts : public MainWindowTest
{
protected:
    void Display(BYTE state) { SendDisplayState(Window(), state); }
    int Logged(const std::wstring& call) const
    {
        return static_cast<int>(std::count(m_outside.log.begin(), m_outside.log.end(), call));
    }
};

TEST_F(VoiceAlerts, SpeaksTheConfiguredPhraseOnceWithoutWaiting)
{
    m_store.WriteProfileInt(L"", L"m_bSpeakMonitorON", 1);
    m_store.WriteProfileString(L"", L"m_sMonitorOnText", L"Good morning");
    OpenMainWindow();
    Display(kDisplayOn);
    EXPECT_EQ(m_outside.spoken, (std::vector<std::wstring>{L"Good morning"}));
    EXPECT_EQ(m_outside.speakFlags, (std::vector<DWORD>{SPF_ASYNC}));
    EXPECT_EQ(m_outside.voicesCreated, 1);
    // Handed to the voice's asynchronous speaking after the entry was listed.
    EXPECT_EQ(Logged(L"CreateVoice"), 1);
}

TEST_F(VoiceAlerts, DefaultPhrasesAndOneVoiceForEveryChange)
{
    m_store.WriteProfileInt(L"", L"m_bSpeakMonitorON", 1);
    m_store.WriteProfileInt(L"", L"m_bSpeakMonitorOFF", 1);
    OpenMainWindow();
    Display(kDisplayOff);
    Display(kDisplayOn);
    Display(kDisplayOff);
    EXPECT_EQ(m_outside.spoken, (std::vector<std::wstring>{L"Monitor Off", L"Monitor On", L"Monitor Off"}));
    EXPECT_EQ(m_outside.voicesCreated, 1);
}

TEST_F(VoiceAlerts, EachDirectionHasItsOwnSwitch)
{
    m_store.WriteProfileInt(L"", L"m_bSpeakMonitorON", 0);
    m_store.WriteProfileInt(L"", L"m_bSpeakMonitorOFF", 1);
    m_store.WriteProfileString(L"", L"m_sMonitorOnText", L"Hello");
    m_store.WriteProfileString(L"", L"m_sMonitorOffText", L"Bye");
    OpenMainWindow();
    Display(kDisplayOn);
    EXPECT_TRUE(m_outside.spoken.empty());
    EXPECT_EQ(Logged(L"CreateVoice"), 0);
    Display(kDisplayOff);
    EXPECT_EQ(m_outside.spoken, (std::vector<std::wstring>{L"Bye"}));
}

TEST_F(VoiceAlerts, AnEmptyPhraseStaysSilentAndCreatesNoVoice)
{
    m_store.WriteProfileInt(L"", L"m_bSpeakMonitorON", 1);
    m_store.WriteProfileString(L"", L"m_sMonitorOnText", L"");
    OpenMainWindow();
    Display(kDisplayOn);
    EXPECT_TRUE(m_outside.spoken.empty());
    EXPECT_EQ(Logged(L"CreateVoice"), 0);
}

TEST_F(VoiceAlerts, SettingsChangedMeanwhileTakeEffectAtTheNextChange)
{
    OpenMainWindow();
    Display(kDisplayOn);
    EXPECT_TRUE(m_outside.spoken.empty());
    m_store.WriteProfileInt(L"", L"m_bSpeakMonitorON", 1);
    m_store.WriteProfileString(L"", L"m_sMonitorOnText", L"Welcome back");
    Display(kDisplayOn);
    m_store.WriteProfileString(L"", L"m_sMonitorOnText", L"Again");
    Display(kDisplayOn);
    EXPECT_EQ(m_outside.spoken, (std::vector<std::wstring>{L"Welcome back", L"Again"}));
}

TEST_F(VoiceAlerts, AFailedCreationLeavesNoVoiceAndTheNextChangeTriesAgain)
{
    m_store.WriteProfileInt(L"", L"m_bSpeakMonitorOFF", 1);
    m_outside.createVoiceResult = REGDB_E_CLASSNOTREG;
    OpenMainWindow();
    Display(kDisplayOff);
    EXPECT_EQ(Logged(L"CreateVoice"), 1);
    EXPECT_EQ(Dlg().m_oTextSpeaker.m_pVoice, nullptr);
    EXPECT_TRUE(m_outside.spoken.empty());
    EXPECT_TRUE(m_outside.messageBoxes.empty());
    Display(kDisplayOff);
    EXPECT_EQ(Logged(L"CreateVoice"), 2);

    m_outside.createVoiceResult = S_OK;
    Display(kDisplayOff);
    EXPECT_EQ(Logged(L"CreateVoice"), 3);
    EXPECT_NE(Dlg().m_oTextSpeaker.m_pVoice, nullptr);
    EXPECT_EQ(m_outside.spoken, (std::vector<std::wstring>{L"Monitor Off"}));
}

TEST_F(VoiceAlerts, TheVoiceGoesWithTheWindowAndOnlyOnce)
{
    m_store.WriteProfileInt(L"", L"m_bSpeakMonitorON", 1);
    OpenMainWindow();
    Display(kDisplayOn);
    ASSERT_EQ(m_outside.voicesCreated, 1);
    ::DestroyWindow(Window());
    // Released while COM is still up, not at the end of the process.
    EXPECT_EQ(m_outside.voicesReleased, 1);
    EXPECT_EQ(Dlg().m_oTextSpeaker.m_pVoice, nullptr);
    m_dlg.reset();
    EXPECT_EQ(m_outside.voicesReleased, 1);
}

TEST(TextSpeaker, EmptyTextNeverReachesTheVoice)
{
    FakeOutsideWorld outside;
    {
        CTextSpeaker speaker(outside);
        speaker.Speak(L"");
        EXPECT_TRUE(outside.log.empty());
        speaker.Speak(L"one");
        speaker.Speak(L"two");
        speaker.ReleaseVoice();
        EXPECT_EQ(outside.voicesReleased, 1);
        speaker.Speak(L"three"); // a released speaker starts a new voice
    }
    EXPECT_EQ(outside.log, (std::vector<std::wstring>{L"CreateVoice", L"Speak one", L"Speak two", L"ReleaseVoice",
                                                      L"CreateVoice", L"Speak three", L"ReleaseVoice"}));
}

// The real speech voice of the platform, created through COM on this apartment thread.
TEST(TextSpeaker, SpeaksThroughTheSystemVoice)
{
    Win32OutsideWorld outside;
    // Whether this machine has a voice at all decides what the speaker should end up with.
    ISpVoice* probe = nullptr;
    const bool available = SUCCEEDED(outside.CreateVoice(&probe)) && probe;
    if (probe)
        outside.ReleaseVoice(probe);
    ::testing::Test::RecordProperty("SystemVoice", available ? "created" : "unavailable");

    CTextSpeaker speaker(outside);
    speaker.Speak(L"Veskaro");
    EXPECT_EQ(speaker.m_pVoice != nullptr, available);
    ISpVoice* first = speaker.m_pVoice;
    speaker.Speak(L"again");
    if (available)
    {
        EXPECT_EQ(speaker.m_pVoice, first) << "the voice is reused";
    }
    speaker.ReleaseVoice();
    EXPECT_EQ(speaker.m_pVoice, nullptr);
}

} // namespace
} // namespace veskaro::testing
