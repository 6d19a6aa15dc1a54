#!/usr/bin/env bash
# Plays the demo windowed in a real X server and ends it with the Escape key.
# Passes when the window appears and the demo exits with 0 soon after the key.
set -euo pipefail
binary="$1"

if [[ -z "${INSIDE_XVFB:-}" ]]; then
  # -noreset: the server would otherwise reset when the last client leaves,
  # and a demo started during the reset could not connect.
  INSIDE_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24 -noreset" "$0" "$@"
fi

log="$(mktemp)"
trap 'rm -f "$log"' EXIT

# The virtual screen cannot switch to 1280x1024: "Error opening OpenGL", after
# a record of the one size it offers.
status=0
VELMORRA_NO_DIALOGS=1 SDL_AUDIODRIVER=dummy "$binary" c 2>"$log" || status=$?
expected="velmorra: the display offers no fullscreen mode of 1280x1024; it offers 1024x768
velmorra: Error opening OpenGL"
if [[ "$status" -ne 1 || "$(cat "$log")" != "$expected" ]]; then
  echo "fullscreen at an unavailable mode: exit $status"; cat "$log"; exit 1
fi
VELMORRA_NO_DIALOGS=1 SDL_AUDIODRIVER=dummy "$binary" w 2>"$log" &
demo=$!

window=""
for _ in $(seq 1 100); do
  window="$(xdotool search --onlyvisible --name '^velmorra$' 2>/dev/null | head -n1 || true)"
  [[ -n "$window" ]] && break
  sleep 0.1
done
if [[ -z "$window" ]]; then
  echo "the velmorra window never appeared"; cat "$log"; kill "$demo" 2>/dev/null || true; exit 1
fi

geometry="$(xdotool getwindowgeometry "$window")"
echo "$geometry"
if ! grep -q "Geometry: 640x480" <<<"$geometry"; then
  echo "the window's client area is not 640x480"; kill "$demo"; exit 1
fi

sleep 0.5
sent=$(date +%s%N)
xdotool windowfocus --sync "$window" 2>/dev/null || true
xdotool key Escape
status=0
for _ in $(seq 1 50); do
  if ! kill -0 "$demo" 2>/dev/null; then break; fi
  sleep 0.1
done
if kill -0 "$demo" 2>/dev/null; then
  echo "the demo was still running 5 s after Escape"; kill "$demo"; exit 1
fi
wait "$demo" || status=$?
ended=$(( ($(date +%s%N) - sent) / 1000000 ))
echo "exit code $status, ended ${ended} ms after Escape"
cat "$log"
[[ "$status" -eq 0 ]]
