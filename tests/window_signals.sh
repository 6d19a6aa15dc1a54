#!/usr/bin/env bash
# Fullscreen play at 640x480 on an X server whose desktop is 1024x768, ended
# by each of the signals that end a process by default: every one must give
# the display mode back and exit with 128 + the signal number. Xvfb cannot
# switch modes, so this runs a real Xorg with the dummy video driver.
set -euo pipefail
binary="$1"

work="$(mktemp -d)"
server=""
cleanup() {
  if [[ -n "$server" ]]; then kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

cat >"$work/xorg.conf" <<'CONF'
Section "Device"
  Identifier "dummy"
  Driver "dummy"
  VideoRam 64000
EndSection
Section "Monitor"
  Identifier "monitor"
  HorizSync 5.0 - 1000.0
  VertRefresh 5.0 - 200.0
  Modeline "1024x768" 65.00 1024 1048 1184 1344 768 771 777 806 -hsync -vsync
  Modeline "640x480" 25.175 640 656 752 800 480 490 492 525 -hsync -vsync
EndSection
Section "Screen"
  Identifier "screen"
  Device "dummy"
  Monitor "monitor"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Modes "1024x768" "640x480"
  EndSubSection
EndSection
CONF

# A display number nobody uses.
number=90
while [[ -e "/tmp/.X11-unix/X$number" || -e "/tmp/.X$number-lock" ]]; do number=$((number + 1)); done
mkdir -p "$work/conf.d"
Xorg ":$number" -noreset -nolisten tcp -config "$work/xorg.conf" -configdir "$work/conf.d" \
  -logfile "$work/xorg.log" >"$work/xorg.out" 2>&1 &
server=$!
export DISPLAY=":$number" SDL_AUDIODRIVER=dummy VELMORRA_NO_DIALOGS=1

current_mode() {
  xrandr --current 2>/dev/null | sed -n 's/^Screen 0:.*current \([0-9]*\) x \([0-9]*\),.*/\1x\2/p'
}

for _ in $(seq 1 100); do
  [[ "$(current_mode)" == "1024x768" ]] && break
  sleep 0.1
done
[[ "$(current_mode)" == "1024x768" ]] || { cat "$work/xorg.out"; echo "Xorg did not start"; exit 1; }

for signal in HUP INT TERM QUIT USR1 ALRM; do
  "$binary" 2>"$work/demo.log" &
  demo=$!
  for _ in $(seq 1 100); do
    [[ "$(current_mode)" == "640x480" ]] && break
    sleep 0.1
  done
  if [[ "$(current_mode)" != "640x480" ]]; then
    kill -KILL "$demo" 2>/dev/null || true
    cat "$work/demo.log"; echo "SIG$signal: the demo never switched to 640x480"; exit 1
  fi
  sleep 1
  kill -s "$signal" "$demo"
  status=0
  wait "$demo" || status=$?
  expected=$((128 + $(kill -l "$signal")))
  mode="$(current_mode)"
  echo "SIG$signal: exit $status, display back at $mode"
  [[ "$status" -eq "$expected" ]] || { cat "$work/demo.log"; echo "SIG$signal: expected exit $expected"; exit 1; }
  [[ "$mode" == "1024x768" ]] || { echo "SIG$signal: the display stayed at $mode"; exit 1; }
done
