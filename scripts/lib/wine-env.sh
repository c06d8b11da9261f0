# Sourced by the scripts: a private Wine prefix in the build tree and, without a display,
# a virtual X server. Both are stopped when the calling script exits; only the processes
# started here are stopped.

VESKARO_ROOT=${VESKARO_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
export WINEPREFIX="$VESKARO_ROOT/build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
# The date and time texts the tests expect are the English (United States) ones, in UTC.
export LANG=C.UTF-8 LC_ALL=C.UTF-8 TZ=UTC
export WINEARCH=win64

veskaro_xvfb_pid=""
veskaro_cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "$veskaro_xvfb_pid" ]; then kill "$veskaro_xvfb_pid" 2>/dev/null || true; wait "$veskaro_xvfb_pid" 2>/dev/null || true; fi
}

veskaro_start_display() {
  local size=${1:-1280x1024x24}
  if [ -n "${DISPLAY:-}" ] && [ -z "${VESKARO_FORCE_XVFB:-}" ]; then return 0; fi
  local n
  for n in $(seq 91 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 "$size" -nolisten tcp >/dev/null 2>&1 &
    veskaro_xvfb_pid=$!
    for _ in $(seq 1 100); do
      [ -e "/tmp/.X11-unix/X$n" ] && break
      kill -0 "$veskaro_xvfb_pid" 2>/dev/null || break
      sleep 0.05
    done
    if [ -e "/tmp/.X11-unix/X$n" ]; then export DISPLAY=":$n"; return 0; fi
    veskaro_xvfb_pid=""
  done
  echo "could not start a virtual X server" >&2
  return 1
}

veskaro_start_wine() {
  mkdir -p "$WINEPREFIX"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w || true
  fi
  # One server for the whole run: every program start after this one is warm.
  wineserver -p >/dev/null 2>&1 || true
  # Start Wine's own background processes now, detached from our output: started by the
  # first test program they would inherit its pipes and keep ctest waiting for their end.
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
  # Without a window manager on the virtual display, Wine waits two seconds for one at each
  # hiding of a captioned window. The nights open and close the notice often, so their windows
  # are left to Wine alone (on Windows there is no such wait).
  wine reg add 'HKCU\Software\Wine\AppDefaults\veskaro-nights.exe\X11 Driver' /v Managed /d N /f \
    </dev/null >/dev/null 2>&1 || true
}
