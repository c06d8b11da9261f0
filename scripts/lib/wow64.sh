# Sourced by scripts/test: the 32-bit programs under test. Debian's stable Wine runs only
# 64-bit programs; sid's Wine 10 runs 32-bit Windows code inside a 64-bit process ("new
# WoW64"), so it runs in a sid chroot kept in build/wow64, made once and reused.
#   veskaro_wow64_unavailable    prints why the layer cannot run on this machine, or nothing
#   veskaro_wow64_prepare        makes the chroot when it is missing or unfinished; when that
#                                fails, veskaro_wow64_why says which step failed
#   veskaro_wow64_run SCRIPT     runs the bash text SCRIPT in it, from the project at its own
#                                path, with the caller's DISPLAY and a Wine server running for
#                                a Wine prefix of its own
# As root the chroot is made by mmdebstrap and entered with chroot(8). Without root it is made
# with `mmdebstrap --mode=unshare` and entered in a user namespace that maps the caller to
# root and its first subordinate ids (from /etc/subuid and /etc/subgid) to the ids after it.
# The mounts live in a mount namespace of their own, so they end with it, whatever fails.

veskaro_wow64_dir="$VESKARO_ROOT/build/wow64"
veskaro_wow64_root="$veskaro_wow64_dir/root"
veskaro_wow64_packages=wine,wine64,libwine

# The machine's own Debian mirror, from its apt sources; empty for mmdebstrap's default.
veskaro_wow64_mirror() {
  {
    grep -h -E '^URIs:' /etc/apt/sources.list.d/*.sources 2>/dev/null | sed 's/^URIs:[[:space:]]*//' | tr ' ' '\n'
    grep -h -E '^deb[[:space:]]' /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null \
      | sed -E 's/^deb[[:space:]]+(\[[^]]*\][[:space:]]+)?//' | cut -d' ' -f1
  } | grep -E '/debian/?$' | grep -v -e security -e debian-ports | head -n 1
}

# VESKARO_SKIP_32BIT=1 skips the layer on purpose. Otherwise the kernel is asked first: new
# WoW64 needs a 32-bit code segment, which some kernels (ia32_emulation=0, some paravirtualised
# machines) do not give, and there every 32-bit program would crash inside Wine.
veskaro_wow64_unavailable() {
  if [ -n "${VESKARO_SKIP_32BIT:-}" ]; then echo "skipped on request (VESKARO_SKIP_32BIT)"; return 0; fi
  local probe=$VESKARO_ROOT/build/ia32-probe
  mkdir -p "$VESKARO_ROOT/build"
  if ! cc -O1 -no-pie -o "$probe" "$VESKARO_ROOT/scripts/lib/ia32-probe.c" >/dev/null 2>&1; then
    echo "the probe of the kernel's 32-bit support could not be built (no C compiler?)"; return 0
  fi
  local answer=0
  "$probe" >/dev/null 2>&1 || answer=$?
  case $answer in
    0) ;;
    1) echo "this machine's kernel runs no 32-bit code" ;;
    *) echo "the probe could not tell whether this machine's kernel runs 32-bit code" ;;
  esac
}

# A log's lines with every address masked: a failed run's output may travel further than the machine.
veskaro_wow64_masked() {
  sed -E -e 's#[A-Za-z][A-Za-z0-9+.-]*://[^[:space:]]*#<address>#g' \
    -e "s#'[A-Za-z0-9-]+(\.[A-Za-z0-9-]+)+'#'<host>'#g"
}

veskaro_wow64_why=""
veskaro_wow64_prepare() {
  local ready=$veskaro_wow64_dir/ready
  [ -f "$ready" ] && [ "$(cat "$ready")" = "$veskaro_wow64_packages" ] && return 0
  local mode=root
  [ "$(id -u)" -eq 0 ] || mode=unshare
  # Never delete a tree that something is still mounted into.
  if findmnt -rn -o TARGET | grep -q -F "$veskaro_wow64_root"; then
    echo "something is mounted under $veskaro_wow64_root; not touching it" >&2
    veskaro_wow64_why="the old chroot is still in use"
    return 1
  fi
  rm -rf "$veskaro_wow64_dir"
  mkdir -p "$veskaro_wow64_dir"
  local mirror log=$veskaro_wow64_dir/mmdebstrap.log
  mirror=$(veskaro_wow64_mirror)
  local source="the tool's default"
  [ -z "$mirror" ] || source="the machine's apt sources"
  echo "making the sid chroot with Wine 10 (mode $mode, mirror from $source)"
  # The index of a mirror that is a snapshot carries a Valid-Until long past.
  if ! mmdebstrap --quiet --mode="$mode" --variant=minbase \
    --aptopt='Acquire::Check-Valid-Until "false"' --aptopt='Acquire::Retries "3"' \
    --include="$veskaro_wow64_packages" sid "$veskaro_wow64_root" ${mirror:+"$mirror"} >"$log" 2>&1; then
    tail -n 20 "$log" | veskaro_wow64_masked >&2
    # mmdebstrap ends with the step that failed, as "E: ..."
    veskaro_wow64_why="making the sid chroot failed: $(grep '^E: ' "$log" | tail -n 1 | cut -c 4-203 | veskaro_wow64_masked)"
    [ "$veskaro_wow64_why" != "making the sid chroot failed: " ] || veskaro_wow64_why="making the sid chroot failed (mmdebstrap)"
    return 1
  fi
  echo "$veskaro_wow64_packages" > "$ready"
}

# Run first inside the chroot: the prefix made once, then one server for the whole script.
veskaro_wow64_wine='
  [ -f "$WINEPREFIX/system.reg" ] || { wineboot -i >/dev/null 2>&1 || true; wineserver -w || true; }
  wineserver -p >/dev/null 2>&1 || true
  trap "wineserver -k >/dev/null 2>&1 || true" EXIT
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
'

veskaro_wow64_run() {
  local enter=(unshare --mount --propagation private)
  if [ "$(id -u)" -ne 0 ]; then
    # As mmdebstrap made the tree: the caller is root inside, the first subordinate ids follow.
    local user
    user=$(id -un)
    enter=(unshare --map-root-user --mount --propagation private
      --map-users="$(awk -F: -v u="$user" '$1 == u { print $2; exit }' /etc/subuid),1,65536"
      --map-groups="$(awk -F: -v u="$user" '$1 == u { print $2; exit }' /etc/subgid),1,65536")
  fi
  # A developer's own X server may want its cookie; a virtual one of scripts/test does not.
  local cookie=${XAUTHORITY:-${HOME:-/nonexistent}/.Xauthority}
  rm -f "$veskaro_wow64_dir/Xauthority"
  [ ! -f "$cookie" ] || cp "$cookie" "$veskaro_wow64_dir/Xauthority"
  "${enter[@]}" bash -euo pipefail -c '
    root=$1 project=$2 display=$3 script=$4
    mount --rbind /proc "$root/proc"
    mount --rbind /sys "$root/sys"
    mount --rbind /dev "$root/dev"
    mount -t tmpfs tmpfs "$root/tmp"
    mkdir -p "$root/tmp/.X11-unix" "$root$project"
    mount --bind /tmp/.X11-unix "$root/tmp/.X11-unix"
    mount --bind "$project" "$root$project"
    exec chroot "$root" /usr/bin/env -i HOME=/root DISPLAY="$display" XAUTHORITY="$project/build/wow64/Xauthority" \
      PATH=/usr/lib/x86_64-linux-gnu/wine:/usr/bin:/bin \
      WINEPREFIX="$project/build/wow64/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
      LANG=C.UTF-8 LC_ALL=C.UTF-8 TZ=UTC \
      bash -euo pipefail -c "cd \"$project\"; $script"
  ' veskaro-wow64 "$veskaro_wow64_root" "$VESKARO_ROOT" "$DISPLAY" "$veskaro_wow64_wine$1"
}

# The 32-bit layer: the end-to-end suite against the shipping executable (copied under the
# tests' name beside the 64-bit test driver) and the 32-bit unit and window tests. Prints one
# line per program; fails when any program failed or did not report.
veskaro_wow64_tests() {
  local e2e=$veskaro_wow64_dir/e2e logs=$veskaro_wow64_dir/logs
  rm -rf "$e2e" "$logs"
  mkdir -p "$e2e" "$logs"
  cp build/win64/e2e_tests.exe "$e2e/"
  cp dist/Veskaro.exe "$e2e/VeskaroTest.exe"
  local status=0
  veskaro_wow64_run '
    echo "Wine $(wine --version) in the chroot"
    run() { (cd "$1" && wine "./$2.exe") </dev/null >"build/wow64/logs/$3.log" 2>&1 || true; }
    run build/wow64/e2e e2e_tests end-to-end
    run build/win32-tests unit_tests unit-32
    run build/win32-tests window_tests window-32
    run build/win32-tests veskaro-nights nights-32
  ' || status=1
  local name log passed failed
  for name in end-to-end unit-32 window-32; do
    log=$logs/$name.log
    [ -f "$log" ] || { status=1; echo "$name: did not run"; continue; }
    passed=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\{0,1\}\..*/\1/p' "$log" | tail -n 1)
    failed=$(sed -n 's/^\[  FAILED  \] \([0-9]*\) tests\{0,1\}, listed below.*/\1/p' "$log" | tail -n 1)
    if [ -z "$passed" ]; then
      status=1
      echo "$name: no result; the end of its output:"
      tail -n 30 "$log"
    else
      [ -z "$failed" ] || { status=1; grep '^\[  FAILED  \]' "$log"; }
      echo "$name: ${passed} passed, ${failed:-0} failed"
    fi
  done
  # The nights' fixed seeds (as in ctest) end with a line such as "40 runs, 560 days, 0 violations, 48 s".
  log=$logs/nights-32.log
  if [ -f "$log" ] && tr -d '\r' <"$log" | tail -n 1 | grep -q ' 0 violations, '; then
    echo "nights-32: $(tr -d '\r' <"$log" | tail -n 1)"
  else
    status=1
    echo "nights-32: failed or did not run; the end of its output:"
    tail -n 30 "$log" 2>/dev/null || true
  fi
  return $status
}
