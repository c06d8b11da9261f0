#include "power/PowerRequests.h"

#include "framework/OutsideWorld.h"

#include <utility>

namespace veskaro {

void CPowerRequests::Hold(POWER_REQUEST_TYPE type, bool hold, const std::wstring& reason)
{
    bool& held = type == PowerRequestDisplayRequired ? m_display : m_system;
    if (held == hold && (!hold || reason == m_reason))
        return;
    const bool systemBefore = m_system, displayBefore = m_display;
    held = hold;
    if (hold && reason != m_reason)
    {
        // A request's reason is fixed: a new object takes over what is held, each type set
        // once, and the old one lets go of its own before it is closed. Windows counts the
        // sets of each type on an object: a type set twice stays held after one clear.
        UniqueKernelHandle request(m_outside.PowerCreateRequest(reason));
        m_reason = reason;
        Apply(request.Get(), m_system, m_display, true);
        Apply(m_request.Get(), systemBefore, displayBefore, false);
        m_request = std::move(request);
    }
    else if (m_request)
    {
        if (hold)
            m_outside.PowerSetRequest(m_request.Get(), type);
        else
            m_outside.PowerClearRequest(m_request.Get(), type);
    }
    // Without a request object (Wine gives none), the window's thread asks the same for as
    // long as it runs; a request object that came meanwhile ends what the thread asked.
    const EXECUTION_STATE state = m_request ? 0
                                            : (m_system ? ES_SYSTEM_REQUIRED : 0) |
                                                  (m_display ? ES_DISPLAY_REQUIRED : 0);
    if (state != m_threadState)
        m_outside.SetThreadExecutionState(ES_CONTINUOUS | state);
    m_threadState = state;
}

void CPowerRequests::Apply(HANDLE request, bool system, bool display, bool set)
{
    if (!request)
        return;
    for (const auto& [type, held] : {std::pair{PowerRequestSystemRequired, system},
                                    std::pair{PowerRequestDisplayRequired, display}})
    {
        if (held && set)
            m_outside.PowerSetRequest(request, type);
        else if (held)
            m_outside.PowerClearRequest(request, type);
    }
}

void CPowerRequests::ReleaseAll()
{
    Hold(PowerRequestSystemRequired, false, m_reason);
    Hold(PowerRequestDisplayRequired, false, m_reason);
}

} // namespace veskaro
