// How running instances recognise each other.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace veskaro {

class IOutsideWorld;

// The probe: a main window answers 1027 (10, 12) with the sum, 22.
constexpr WPARAM kHandshakeProbeW = 10;
constexpr LPARAM kHandshakeProbeL = 12;
constexpr LRESULT kHandshakeAnswer = 22;
// A window that does not answer within this time counts as no instance.
constexpr UINT kHandshakeTimeoutMs = 2000;

// True when the window answers the handshake in time. Hung windows are not waited for.
bool AnswersHandshake(HWND window);

// The windows that may be running instances' main windows, topmost first: top-level, not
// owned, titled with the application name; not yet asked the handshake. `self` is left out.
std::vector<HWND> FindInstanceWindows(const std::wstring& applicationName, HWND self);

// Posts the command (0: none) to the main window of a running instance; false when none
// answers the handshake. Hung windows are not waited for.
bool HandOverToRunningInstance(IOutsideWorld& outside, const std::wstring& applicationName, UINT command);

// Posts the message to the main window of every other running instance.
void PostToOtherInstances(const std::wstring& applicationName, HWND self, UINT message);

// The number a running instance holds, or 0 when it does not say.
int QueryInstanceNumber(HWND window);

// The settings section of an instance number: "Settings %d".
std::wstring SettingsSectionName(int instance);

} // namespace veskaro
