#!/usr/bin/env bash
# How well the music's onsets follow the demo's cuts, measured with a
# third-party onset detector at its default settings.
#
#   bench/sync/sync.sh [BUILD_DIR]     (default build)
#
# Decodes BUILD_DIR/data/music.mp3 with ffmpeg, runs aubioonset (Debian's
# aubio-tools) on it and hands the onsets to velmorra_sync_report, which prints
# the share of cuts with an onset within 15 ms, the median distance, the same
# share for 20,000 random times and the ten worst cuts.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="${1:-$root/build}"
music="$build/data/music.mp3"
report="$build/bench/sync/velmorra_sync_report"
for need in ffmpeg aubioonset; do
  command -v "$need" >/dev/null || { echo "sync.sh: $need is missing (scripts/setup-deps.sh)" >&2; exit 1; }
done
[[ -f "$music" ]] || { echo "sync.sh: no $music; build first" >&2; exit 1; }
[[ -x "$report" ]] || { echo "sync.sh: no $report; build first" >&2; exit 1; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
ffmpeg -loglevel error -nostdin -i "$music" -c:a pcm_s16le "$work/music.wav"
aubioonset -i "$work/music.wav" >"$work/onsets.txt"
seconds="$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$work/music.wav")"
echo "aubioonset (default settings) on $music"
"$report" "$work/onsets.txt" "$seconds"
