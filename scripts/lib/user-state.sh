# Sourced by scripts/test: what a user of Veskaro has on their machine, planted in the tests'
# Wine prefix before the Windows tests run and checked after them. The tests run the program
# under a name of their own and must leave all of this alone.
#   veskaro_plant_user_state BUILD   a running Veskaro.exe (instance 1) started from another
#                                    folder, its options and schedule, its Run value and the
#                                    user's time format
#   veskaro_check_user_state BUILD   fails when any of it changed or the instance is gone

veskaro_user_home="$VESKARO_ROOT/build/user-home"

# The user's state as text: their key, their Run value and their time format.
veskaro_user_state() {
  wine reg query 'HKCU\Software\Ortavel\Veskaro' /s
  wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Run' /v Veskaro
  wine reg query 'HKCU\Control Panel\International' /v sTimeFormat
}

# The running instance's answer to the instance number query, and its process id.
veskaro_user_instance() {
  wine "$1/veskaro-send.exe" --title Veskaro ask 1028 2>/dev/null | tr -d '\r'
}

veskaro_plant_user_state() {
  local build=$1
  rm -rf "$veskaro_user_home"
  mkdir -p "$veskaro_user_home"
  cp "$build/Veskaro.exe" "$veskaro_user_home/Veskaro.exe"
  local exe
  exe=$(winepath -w "$veskaro_user_home/Veskaro.exe" | tr -d '\r' | sed 's/\\/\\\\/g')
  # A schedule with its days off, so that it never fires (a black screen would cover the tests).
  cat > "$veskaro_user_home/user.reg" <<EOF
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\\Software\\Ortavel\\Veskaro]
"AllowMultipleInstances"=dword:00000000
"m_bAutoTurnOffWhenLocked"=dword:00000001
"m_iLockTurnOffDelay"=dword:00007530
"m_bKeepALog"=dword:00000000
"LogFilePath"="C:\\\\users\\\\Public\\\\veskaro-user.txt"
"m_bSpeakMonitorON"=dword:00000000
"m_bSpeakMonitorOFF"=dword:00000000
"m_sMonitorOffText"="Good night"
"m_sMonitorOnText"="Good morning"

[HKEY_CURRENT_USER\\Software\\Ortavel\\Veskaro\\Settings 1]
"m_bDay1"=dword:00000000
"m_bTurnOffLockPC"=dword:00000001
"m_oTimeTurnOff"="11:45:00 PM"
"m_oTimeTurnOn"="6:15:00 AM"
"m_bAutoDisplayBlackScreen"=dword:00000001

[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run]
"Veskaro"="\\"$exe\\" :silent"

[HKEY_CURRENT_USER\\Control Panel\\International]
"sTimeFormat"="h:mm:ss tt"
EOF
  wine regedit /s "$(winepath -w "$veskaro_user_home/user.reg" | tr -d '\r')"
  # Started as at login, detached from the test run's output.
  setsid wine "$veskaro_user_home/Veskaro.exe" :silent </dev/null >/dev/null 2>&1 &
  local answer="" _
  for _ in $(seq 1 60); do
    answer=$(veskaro_user_instance "$build") && [ -n "$answer" ] && break
    sleep 0.5
  done
  case "$answer" in
    "1 "*) ;;
    *) echo "the user's Veskaro did not start as instance 1 (answer: '$answer')" >&2; return 1 ;;
  esac
  echo "$answer" > "$veskaro_user_home/instance"
  veskaro_user_state > "$veskaro_user_home/state.before" 2>&1
  echo "user's Veskaro planted: instance and process $answer, $(grep -c REG_ "$veskaro_user_home/state.before") values"
}

veskaro_check_user_state() {
  local build=$1 failed=0 answer
  answer=$(veskaro_user_instance "$build" || true)
  if [ "$answer" != "$(cat "$veskaro_user_home/instance")" ]; then
    echo "FAILED: the user's Veskaro no longer answers as instance 1 of process $(cut -d' ' -f2 "$veskaro_user_home/instance") (answer: '$answer')" >&2
    failed=1
  fi
  veskaro_user_state > "$veskaro_user_home/state.after" 2>&1
  if ! diff -u "$veskaro_user_home/state.before" "$veskaro_user_home/state.after" >&2; then
    echo "FAILED: the tests changed the user's settings, Run value or time format" >&2
    failed=1
  fi
  # Nothing of the tests' own may be left behind either.
  if wine reg query 'HKCU\Software\Ortavel\VeskaroTest' >/dev/null 2>&1 ||
     wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Run' /v VeskaroTest >/dev/null 2>&1 ||
     wine reg query 'HKCU\Software\Ortavel-Tests' /s 2>/dev/null | tr -d '\r' | grep -q '^HKEY_CURRENT_USER\\Software\\Ortavel-Tests\\'; then
    echo "FAILED: the tests left keys or values of their own in the profile" >&2
    failed=1
  fi
  [ $failed -eq 0 ] && echo "user's Veskaro left alone: instance and process $answer still running; key, Run value and time format unchanged"
  return $failed
}
