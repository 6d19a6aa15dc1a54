#!/usr/bin/env bash
# The whole demo at a glance: one frame every 2 s of scene time plus one from
# the middle of each scene, captured at 320x240 and tiled ten to a row into
# one PNG, each frame's time written under it.
#
#   scripts/contact-sheet.sh [OUT.png]     (default build/contact-sheet.png)
#
# Builds first when needed. VELMORRA=path/to/velmorra uses that binary as it
# is instead. Works headless: the capture needs no display or sound card.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="${1:-$root/build/contact-sheet.png}"

binary="${VELMORRA:-}"
if [[ -z "$binary" ]]; then
  if [[ -f "$root/build/CMakeCache.txt" ]]; then
    cmake --build "$root/build" -j "$(nproc)" >/dev/null
  else
    bash "$root/scripts/build.sh" >/dev/null
  fi
  binary="$root/build/velmorra"
fi

# The scene windows of the running order (a scene runs for lower < t < upper).
windows=(
  "0 3560" "3650 10651" "10125 32000" "32000 46000" "46157 51503"
  "53312 66518" "67522 81511" "81679 88393" "88840 109587" "110150 131027"
)
times=()
for ((t = 0; t <= 130000; t += 2000)); do times+=("$t"); done
for window in "${windows[@]}"; do
  read -r lower upper <<<"$window"
  times+=("$(((lower + upper) / 2))")
done
shots="$(printf '%s\n' "${times[@]}" | sort -n -u | paste -sd, -)"

frames="$(mktemp -d "${TMPDIR:-/tmp}/velmorra-contact-XXXXXX")"
trap 'rm -rf "$frames"' EXIT
# Between the shots every frame of a 12 frames-per-second capture is drawn, so
# the values scenes hold from frame to frame advance as in play; the closing
# slow-down, which counts frames, still runs its course before 121 s. A 60 fps
# capture would draw five times as many frames for the same sheet.
"$binary" --capture="$frames/png" --size=320x240 --fps=12 --shots="$shots"

# The frames in time order as an ffconcat list whose durations make each
# frame's timestamp its own scene time, in milliseconds, for the labels.
pictures=("$frames"/png/*.png)
count=${#pictures[@]}
{
  echo "ffconcat version 1.0"
  for ((i = 0; i < count; i++)); do
    now=$((10#$(basename "${pictures[i]}" .png)))
    next=$((now + 1000))
    if ((i + 1 < count)); then next=$((10#$(basename "${pictures[i + 1]}" .png))); fi
    echo "file '${pictures[i]}'"
    echo "option framerate 1000"
    printf 'duration %d.%03d\n' $(((next - now) / 1000)) $(((next - now) % 1000))
  done
} >"$frames/list.ffconcat"

columns=10
rows=$(((count + columns - 1) / columns))
font=/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf
mkdir -p "$(dirname "$out")"
ffmpeg -hide_banner -loglevel error -y -f concat -safe 0 -i "$frames/list.ffconcat" \
  -vf "pad=320:264:0:0:black,drawtext=fontfile=$font:text='%{pts\:hms}':fontcolor=white:fontsize=16:x=(w-tw)/2:y=244,tile=${columns}x${rows}:color=black" \
  -frames:v 1 -pix_fmt rgb24 "$out"
echo "velmorra: contact sheet of $count frames in $out"
