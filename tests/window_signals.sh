#!/usr/bin/env bash
# Fullscreen play at 640x480 on a 1024x768 desktop, ended by each of the
# signals that end a process by default: each must give the display mode back
# and exit with 128 + the signal number. Xvfb cannot switch modes; a real Xorg
# with the dummy video driver can. SIGPIPE is among them: a demo whose stderr
# goes into `head -1` must still give the display back.
set -euo pipefail
# Job control: without it a background job starts with INT and QUIT ignored,
# and the demo keeps a signal that was ignored when it started.
set -m
binary="$1"
work="$(mktemp -d)"
server=""
trap '[[ -z "$server" ]] || kill "$server"; rm -rf "$work"' EXIT
printf '%s\n' 'Section "Device"' 'Identifier "dummy"' 'Driver "dummy"' EndSection \
  'Section "Screen"' 'Identifier "screen"' 'Device "dummy"' 'SubSection "Display"' \
  'Modes "1024x768" "640x480"' EndSubSection EndSection >"$work/xorg.conf"
number=90
while [[ -e "/tmp/.X11-unix/X$number" || -e "/tmp/.X$number-lock" ]]; do number=$((number + 1)); done
Xorg ":$number" -noreset -nolisten tcp -config "$work/xorg.conf" -configdir "$work" \
  -logfile "$work/xorg.log" >/dev/null 2>&1 &
server=$!
export DISPLAY=":$number" SDL_AUDIODRIVER=dummy VELMORRA_NO_DIALOGS=1

# Waits up to 10 s for the screen to be at the given mode.
reaches() {
  for _ in $(seq 1 100); do
    xrandr --current 2>/dev/null | grep -q "^Screen 0:.*current ${1/x/ x }," && return 0
    sleep 0.1
  done
  return 1
}
reaches 1024x768 || { echo "Xorg did not start"; exit 1; }

for signal in HUP INT TERM QUIT USR1 ALRM PIPE; do
  "$binary" &
  demo=$!
  reaches 640x480 || { kill -KILL "$demo"; echo "SIG$signal: no switch to 640x480"; exit 1; }
  sleep 1
  kill -s "$signal" "$demo"
  status=0
  wait "$demo" || status=$?
  echo "SIG$signal: exit $status"
  [[ "$status" -eq $((128 + $(kill -l "$signal"))) ]] || { echo "expected 128 + SIG$signal"; exit 1; }
  reaches 1024x768 || { echo "SIG$signal: the display stayed at 640x480"; exit 1; }
done
