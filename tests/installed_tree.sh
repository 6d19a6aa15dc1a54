#!/usr/bin/env bash
# The installed demo runs with no build tree around it: cmake --install into a
# temporary prefix, the tree moved elsewhere (so no path can point back), the
# demo started from another directory; its frame must equal the build's.
set -euo pipefail
build="$1"
work="$(mktemp -d "${TMPDIR:-/tmp}/velmorra-installed-XXXXXX")"
trap 'rm -rf "$work"' EXIT

# A prefix with a space, which the menu entry's Exec must quote.
cmake --install "$build" --prefix "$work/inst dir" >/dev/null
entry=("$work/inst dir/share/applications/"*.desktop)
grep -qxF "Exec=\"$work/inst dir/games/velmorra\"" "${entry[@]}" ||
  { echo "the menu entry does not start the installed demo"; exit 1; }
if command -v desktop-file-validate >/dev/null; then desktop-file-validate "${entry[@]}"; fi
mv "$work/inst dir" "$work/moved"

export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy VELMORRA_NO_DIALOGS=1
# The twisted pillar under its cut-outs: pictures, textures and the music.
shot=(--size=320x240 --fps=10 --shots=20000)
(cd / && "$work/moved/games/velmorra" --capture="$work/installed" "${shot[@]}")
"$build/velmorra" --capture="$work/built" "${shot[@]}"
cmp "$work/installed/020000.png" "$work/built/020000.png"
echo "installed tree: frame at 20 s equals the build's"
