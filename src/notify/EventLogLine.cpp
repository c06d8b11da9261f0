#include "notify/EventLogLine.h"

namespace veskaro
{

std::wstring EventLogLine(const std::wstring& timestamp, bool turnOff)
{
    return timestamp + L"\t" + (turnOff ? L"Turn Off" : L"Turn On") + L"\n";
}

} // namespace veskaro
