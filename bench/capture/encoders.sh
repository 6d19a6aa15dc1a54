#!/usr/bin/env bash
# Times the capture's encoder on real frames of the demo, one x264 setting
# after another in one run, and scores each against the raw frames with
# ffmpeg's SSIM filter. Prints figures, asserts nothing.
#
#   bench/capture/encoders.sh [BUILD_DIR [FROM_MS TO_MS]]
#
# The frames (default 20 s to 30 s of the demo, 640 x 480 at 60 fps) are drawn
# once by velmorra_capture_costs, which also reports what drawing and reading
# them back cost. Run velmorra_capture_costs alone for the whole demo.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="${1:-$root/build}"
from="${2:-20000}"
to="${3:-30000}"
size=640x480
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

SDL_VIDEODRIVER=offscreen "$build/bench/capture/velmorra_capture_costs" \
  --size=$size --from="$from" --to="$to" --raw="$work/frames.rgb"
frames=$(($(stat -c %s "$work/frames.rgb") / (640 * 480 * 3)))
echo "encoding $frames frames ($from ms to $to ms), vflip and yuv420p as the capture does:"
printf '  %-34s %8s %8s %12s %8s %10s\n' setting wall_s cpu_s cpu_ms/frame ssim size_kB

for setting in "fast -crf 18" "veryfast -crf 18" "veryfast -tune ssim -crf 16" \
  "superfast -crf 14" "superfast -tune ssim -crf 16" "superfast -tune ssim -crf 14" \
  "ultrafast -crf 14" "ultrafast -tune ssim -crf 14"; do
  preset="${setting%% *}"
  rest="${setting#* }"
  # shellcheck disable=SC2086
  /usr/bin/time -f "%e %U %S" -o "$work/time" ffmpeg -hide_banner -loglevel error -y \
    -f rawvideo -pix_fmt rgb24 -video_size $size -framerate 60 -i "$work/frames.rgb" \
    -vf vflip -c:v libx264 -preset "$preset" $rest -pix_fmt yuv420p "$work/out.mp4"
  read -r wall user sys <"$work/time"
  ssim=$(ffmpeg -hide_banner -i "$work/out.mp4" \
    -f rawvideo -pix_fmt rgb24 -video_size $size -framerate 60 -i "$work/frames.rgb" \
    -lavfi "[1:v]vflip[reference];[0:v][reference]ssim" -f null - 2>&1 |
    sed -n 's/.*All:\([0-9.]*\).*/\1/p' | tail -n 1)
  cpu=$(awk "BEGIN { print $user + $sys }")
  printf '  %-34s %8.2f %8.2f %12.2f %8s %10d\n' "-preset $setting" "$wall" "$cpu" \
    "$(awk "BEGIN { print 1000 * $cpu / $frames }")" "$ssim" $(($(stat -c %s "$work/out.mp4") / 1024))
done
