#!/usr/bin/env bash
# kivra.exe under wine against the simulated driver: `kivra sim` runs natively on a
# pseudo-terminal, and the wine prefix's COM7 is that pseudo-terminal
# (dosdevices/com7 -> /dev/pts/N), so the Windows program talks through wine's serial
# port, its overlapped I/O and its comm events, to a driver on a real-timed line.
#
#   live_test.sh NATIVE_KIVRA KIVRA_EXE WINE_RUN SOURCE_DIR WORK_DIR
#
# Checks --version, check, status, send, download (the program the driver stores is
# the one a native download stores, frame by frame), params (a UTF-8 file name), the
# port names Windows users type, and the refusals of names that are no port.
set -euo pipefail
native=$1 exe=$2 wine_run=$3 src=$4 work=$5
rm -rf "$work"
mkdir -p "$work"
cd "$work"

failures=0
fail() {
  echo "FAILED: $*" >&2
  failures=$((failures + 1))
}
# run NAME EXPECTED_STATUS COMMAND...: stdout in NAME.out, stderr in NAME.err, \r removed.
run() {
  local name=$1 expected=$2 status=0
  shift 2
  "$@" >"$name.out.raw" 2>"$name.err.raw" </dev/null || status=$?
  tr -d '\r' <"$name.out.raw" >"$name.out"
  tr -d '\r' <"$name.err.raw" >"$name.err"
  if [ "$status" -ne "$expected" ]; then
    fail "$name: exit status $status, expected $expected"
    sed 's/^/    /' "$name.out" "$name.err" >&2
    return 1
  fi
}
wine_kivra() { "$wine_run" "$exe" "$@"; }
contains() { grep -q -F -- "$2" "$1" || fail "$1 lacks: $2"; }

sims=()
stop_sims() {
  for pid in "${sims[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
}
trap stop_sims EXIT
# start_sim NAME: a simulated driver logging every frame; its pseudo-terminal in $pts.
start_sim() {
  "$native" sim --verbose >"$1.log" 2>&1 </dev/null &
  sims+=($!)
  for _ in $(seq 100); do
    pts=$(head -n 1 "$1.log" 2>/dev/null || true)
    case $pts in /dev/*) return 0 ;; esac
    sleep 0.05
  done
  echo "the simulated driver did not start" >&2
  exit 1
}
# The frames a driver received, without their times: "<- 08 4B ...  meaning".
frames() { sed -n 's/^ *[0-9.]* <- //p' "$1"; }

prefix=${KIVRA_WINEPREFIX:-$(dirname "$wine_run")/wine}

# --- Without a driver ---------------------------------------------------------------
run version 0 wine_kivra --version && contains version.out "kivra (Kivra-PS Studio) "
cp "$src/examples/homing.kv3" homing.kv3
run check 0 wine_kivra check --lang tr --listing homing.kv3
run check-native 0 "$native" check --lang tr --listing homing.kv3
# The banner's second line holds the time of the check.
diff <(sed 2d check.out) <(sed 2d check-native.out) >/dev/null || fail "kivra.exe check differs from kivra check"
run sim 2 wine_kivra sim && contains sim.err "Linux only"
run com0 2 wine_kivra status --port COM0 && contains com0.err "there is no port COM0"
run com256 2 wine_kivra status --port COM256 && contains com256.err '"COM256": port numbers go up to COM255'
run com 2 wine_kivra status --port COM --lang tr && contains com.err '"COM" bir port numarası ister'
run pipe 2 wine_kivra status --port '\\.\pipe\kivra' && contains pipe.err "is a pipe, not a serial port"
run file 2 wine_kivra status --port 'C:\kivra.txt' && contains file.err "is not a serial port"
run absent 1 wine_kivra status --port COM199 --count 1 && contains absent.err "Comm Port 199 not opened!"

# --- Against the simulated driver behind COM7 ---------------------------------------
start_sim driver
ln -sfn "$pts" "$prefix/dosdevices/com7"
for port in 7 COM7 '\\.\COM7'; do
  run "status-$port" 0 wine_kivra status --port "$port" --count 2 || continue
  [ "$(grep -c '^connected inputs=000000' "status-$port.out")" -eq 2 ] || fail "status --port $port: $(cat "status-$port.out")"
done
run status 0 wine_kivra status --port COM7 --count 5
[ "$(grep -c '^connected ' status.out)" -eq 5 ] || fail "status: $(cat status.out)"

run speed 0 wine_kivra send --port COM7 speed 1200
run bad-speed 1 wine_kivra send --port COM7 speed 20000 && contains bad-speed.err "Invalid value!"
run settings 0 wine_kivra send --port COM7 read-settings && contains settings.out "speed=1200"
run mem-write 0 wine_kivra send --port COM7 mem-write 256 42
run mem-read 0 wine_kivra send --port COM7 mem-read 256 && contains mem-read.out "42"

# Parameters through a file whose name only UTF-8 can hold.
printf 'format = 1\nspeed = 1500\nmicrostep = 8\nprm12 = 7\n' >"ayar-ğüşıöç.txt"
run params-write 0 wine_kivra params write --port COM7 "ayar-ğüşıöç.txt"
run params-read 0 wine_kivra params read --port COM7 "okunan-çş.txt"
tr -d '\r' <"okunan-çş.txt" >read.txt 2>/dev/null || fail "params read wrote no okunan-çş.txt"
contains read.txt "speed = 1500"
contains read.txt "prm12 = 7"
run params-diff 0 wine_kivra params diff --port COM7 "ayar-ğüşıöç.txt"

# A download, and the same download natively into a second driver: the frames each driver
# took (status polls aside) are the same, so the stored programs are, byte for byte.
run download 0 wine_kivra download --port COM7 homing.kv3 && contains download.err "100%"
start_sim native-driver
run download-native 0 "$native" download --port "$pts" homing.kv3
kill "${sims[@]}" 2>/dev/null || true
wait 2>/dev/null || true
sims=()
frames native-driver.log | grep -v 'status request' >native.frames || true
grep -q ' 56 ' native.frames || fail "the native download left no vector frame in the log"
# Only the download's frames: from the first frame the native driver took on.
first=$(head -n 1 native.frames)
sed -n "\\|^${first//|/\\|}\$|,\$p" <(frames driver.log | grep -v 'status request') >wine.frames
if ! diff -u native.frames wine.frames >frames.diff; then
  fail "the driver took other frames from kivra.exe than from kivra (frames.diff)"
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures checks failed; the files are in $work" >&2
  exit 1
fi
echo "kivra.exe under wine: version, check, port names, status, send, params and download passed"
