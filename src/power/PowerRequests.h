// The process's power requests: one request object, and what is held on it.
#pragma once

#include "framework/Handles.h"

#include <windows.h>

#include <string>

namespace veskaro {

class IOutsideWorld;

class CPowerRequests
{
public:
    explicit CPowerRequests(IOutsideWorld& outside) : m_outside(outside) {}
    ~CPowerRequests() { ReleaseAll(); }
    CPowerRequests(const CPowerRequests&) = delete;
    CPowerRequests& operator=(const CPowerRequests&) = delete;

    // Holds or releases the system's (PowerRequestSystemRequired) or the display's
    // (PowerRequestDisplayRequired) request, under a reason that says what for.
    void Hold(POWER_REQUEST_TYPE type, bool hold, const std::wstring& reason);
    void ReleaseAll();

private:
    void Apply(HANDLE request, bool system, bool display, bool set);

    IOutsideWorld& m_outside;
    UniqueKernelHandle m_request;
    std::wstring m_reason;
    bool m_system = false;
    bool m_display = false;
    EXECUTION_STATE m_threadState = 0; // held through the thread's execution state instead
};

} // namespace veskaro
