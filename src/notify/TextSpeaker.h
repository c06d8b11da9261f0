// Speaks short phrases through the system's text-to-speech voice.
#pragma once

#include <string>

struct ISpVoice;

namespace veskaro {

class IOutsideWorld;

class CTextSpeaker
{
public:
    explicit CTextSpeaker(IOutsideWorld& outside) noexcept;
    virtual ~CTextSpeaker();
    CTextSpeaker(const CTextSpeaker&) = delete;
    CTextSpeaker& operator=(const CTextSpeaker&) = delete;

    // Hands the phrase to the voice without waiting; the voice is created on first use.
    void Speak(const std::wstring& text);
    // Lets the voice go; must run while COM is still initialised on this thread.
    void ReleaseVoice();

    ISpVoice* m_pVoice = nullptr;

private:
    IOutsideWorld& m_outside;
};

} // namespace veskaro
