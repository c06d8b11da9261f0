// Spoken alerts for display changes.
#include "framework/OutsideWorld.h"
#include "notify/TextSpeaker.h"
#include "ui/VeskaroDlg.h"

namespace veskaro {

CTextSpeaker::CTextSpeaker(IOutsideWorld& outside) noexcept : m_outside(outside) {}
CTextSpeaker::~CTextSpeaker() { ReleaseVoice(); }
void CTextSpeaker::Speak(const std::wstring&) {}
void CTextSpeaker::ReleaseVoice()
{
    if (m_pVoice)
        m_outside.ReleaseVoice(m_pVoice);
    m_pVoice = nullptr;
}

void CVeskaroDlg::SpeakMonitorState(bool) {}

} // namespace veskaro
