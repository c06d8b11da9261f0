#include "power/PowerRequests.h"

#include "framework/OutsideWorld.h"

#include <utility>

namespace veskaro {

void CPowerRequests::Hold(POWER_REQUEST_TYPE type, bool hold, const std::wstring& reason)
{
    bool& held = type == PowerRequestDisplayRequired ? m_display : m_system;
    if (held == hold && (!hold || reason == m_reason))
        return;
    if (hold && reason != m_reason)
    {
        // A request's reason is fixed: a new object takes over what the old one held, and
        // closing the old one ends its requests.
        UniqueKernelHandle request(m_outside.PowerCreateRequest(reason));
        m_reason = reason;
        if (request && m_system)
            m_outside.PowerSetRequest(request.Get(), PowerRequestSystemRequired);
        if (request && m_display)
            m_outside.PowerSetRequest(request.Get(), PowerRequestDisplayRequired);
        m_request = std::move(request);
    }
    held = hold;
    if (m_request)
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

void CPowerRequests::ReleaseAll()
{
    Hold(PowerRequestSystemRequired, false, m_reason);
    Hold(PowerRequestDisplayRequired, false, m_reason);
}

} // namespace veskaro
