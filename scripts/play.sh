#!/usr/bin/env bash
# Plays the demo. With a display it runs in real time and passes its
# arguments on (scripts/play.sh w plays windowed). Without one it renders the
# whole demo to build/velmorra.mp4 instead.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/scripts/build.sh" >/dev/null
if [[ -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ]]; then
  exec "$root/build/velmorra" "$@"
fi
echo "velmorra: no display found; rendering the demo to build/velmorra.mp4 instead."
# The video is our own to replace on every run.
"$root/build/velmorra" --capture="$root/build/velmorra.mp4" --force "$@"
echo "velmorra: the video is at $root/build/velmorra.mp4"
