#!/usr/bin/env bash
# Plays the demo at sizes chosen with --size in a real X server whose screen is
# 1920x1080: windowed at 1280x720 (over a letter that asked for 800x600),
# fullscreen at the screen's own size, and fullscreen at a size the screen
# does not offer.
set -euo pipefail
binary="$1"

if [[ -z "${INSIDE_XVFB:-}" ]]; then
  # -noreset: the server would otherwise reset when the last client leaves,
  # and a demo started during the reset could not connect.
  INSIDE_XVFB=1 exec xvfb-run -a -s "-screen 0 1920x1080x24 -noreset" "$0" "$@"
fi

export VELMORRA_NO_DIALOGS=1 SDL_AUDIODRIVER=dummy
log="$(mktemp)"
trap 'rm -f "$log"' EXIT

fail() {
  echo "$*"; cat "$log"; exit 1
}

# Starts the demo with the given arguments, checks the window's client area,
# lets it play for a second and ends it with Escape. Exit code 0 required.
play_and_escape() {
  local size="$1"; shift
  "$binary" "$@" 2>"$log" &
  local demo=$! window="" geometry
  for _ in $(seq 1 100); do
    window="$(xdotool search --onlyvisible --name '^velmorra$' 2>/dev/null | head -n1 || true)"
    [[ -n "$window" ]] && break
    sleep 0.1
  done
  [[ -n "$window" ]] || { kill "$demo" 2>/dev/null || true; fail "$*: the window never appeared"; }
  geometry="$(xdotool getwindowgeometry "$window" | sed -n 's/^ *Geometry: //p')"
  echo "$*: client area $geometry"
  [[ "$geometry" == "$size" ]] || { kill "$demo"; fail "$*: the client area is not $size"; }
  sleep 1
  xdotool windowfocus --sync "$window" 2>/dev/null || true
  xdotool key Escape
  for _ in $(seq 1 50); do
    kill -0 "$demo" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$demo" 2>/dev/null; then kill "$demo"; fail "$*: still running 5 s after Escape"; fi
  local status=0
  wait "$demo" || status=$?
  [[ "$status" -eq 0 ]] || fail "$*: exit code $status after Escape"
}

# A size the screen does not offer fails like an unavailable letter size and
# names the sizes it does offer.
status=0
"$binary" --size=1234x567 2>"$log" || status=$?
expected="velmorra: the display offers no fullscreen mode of 1234x567; it offers 1920x1080
velmorra: Error opening OpenGL"
[[ "$status" -eq 1 && "$(cat "$log")" == "$expected" ]] ||
  fail "fullscreen at 1234x567: exit $status, expected exit 1 and:"$'\n'"$expected"$'\nGot:'

play_and_escape 1280x720 a --size=1280x720 w --stats
frames="$(sed -n 's/^velmorra: stats: \([0-9]*\) frames drawn in .*/\1/p' "$log")"
[[ -n "$frames" && "$frames" -ge 1 ]] || fail "--stats printed no summary with a frame count"
scene_lines="$(grep -cE '^  (\w+Scene|\(no scene\)) ' "$log" || true)"
[[ "$scene_lines" -eq 11 ]] || fail "--stats printed $scene_lines scene lines, not 11"
echo "windowed 1280x720: $frames frames"

play_and_escape 1920x1080 --size=1920x1080
if grep -q "stats" "$log"; then fail "statistics printed without --stats"; fi
echo "fullscreen 1920x1080: ended with Escape"
