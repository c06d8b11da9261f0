// Spoken alerts for display changes.
#include "app/SettingsStore.h"
#include "framework/OutsideWorld.h"
#include "notify/TextSpeaker.h"
#include "ui/VeskaroDlg.h"

#include <sapi.h>

namespace veskaro {

CTextSpeaker::CTextSpeaker(IOutsideWorld& outside) noexcept : m_outside(outside) {}

CTextSpeaker::~CTextSpeaker()
{
    ReleaseVoice();
}

void CTextSpeaker::Speak(const std::wstring& text)
{
    if (text.empty())
        return;
    if (!m_pVoice)
    {
        // No speech engine is no error: this phrase is skipped and the next one tries again.
        if (FAILED(m_outside.CreateVoice(&m_pVoice)))
            m_pVoice = nullptr;
    }
    if (m_pVoice)
        m_outside.Speak(m_pVoice, text, SPF_ASYNC); // the window goes on while it speaks
}

void CTextSpeaker::ReleaseVoice()
{
    if (m_pVoice)
        m_outside.ReleaseVoice(m_pVoice);
    m_pVoice = nullptr;
}

void CVeskaroDlg::SpeakMonitorState(bool on)
{
    // Read at every change, so that a new setting needs no restart.
    if ((on ? kSpeakMonitorOn : kSpeakMonitorOff).Read(m_env.store) == 0)
        return;
    const std::wstring phrase = (on ? kMonitorOnText : kMonitorOffText).Read(m_env.store);
    if (phrase.empty())
        return;
    m_oTextSpeaker.Speak(phrase);
}

} // namespace veskaro
