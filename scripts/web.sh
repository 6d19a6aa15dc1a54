#!/usr/bin/env bash
# Builds the browser version of the demo into build-web/: index.html and the
# files it loads. Needs only Debian's packages: emscripten compiles the same
# sources, and SDL2, SDL2_mixer and libjpeg-turbo are built for the browser
# from Debian's source packages and kept in ~/.cache/velmorra-web/ (keyed by
# their versions and emscripten's), so later builds only compile the demo.
#
#   scripts/web.sh                    then: python3 -m http.server -d build-web
#   scripts/web.sh --libraries-only   builds the cached libraries, prints where
#
# The media come from the native build's generator (build/data), brought up
# to date first. VELMORRA_WEB_CACHE moves the library cache; VELMORRA_JOBS
# sets the build's parallelism (default 2).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
jobs="${VELMORRA_JOBS:-2}"
# shellcheck source=scripts/debian-sources.sh
source "$root/scripts/debian-sources.sh"

sdl_version=2.26.5
mixer_version=2.6.2
jpeg_version=2.1.5

# Debian's emscripten 3.1.6 runs its JavaScript optimiser under the system's
# node, which may be newer than it expects and then misses its own modules.
export NODE_PATH=/usr/share/nodejs
export EM_NODE_JS=/usr/bin/node

install_packages() {
  install_missing_packages velmorra-web emscripten dpkg-dev chromium python3 cmake make
}

emscripten_version() { emcc --version | sed -n '1s/.* \([0-9][0-9.]*\) .*/\1/p'; }

build_libraries() {
  local prefix="$1" work="$1.work"
  rm -rf "$work" "$prefix"
  mkdir -p "$work"
  fetch_source libsdl2 "$work/sdl2" "$work/apt"
  fetch_source libsdl2-mixer "$work/mixer" "$work/apt"
  fetch_source libjpeg-turbo "$work/jpeg" "$work/apt"
  unpack_source "$work/sdl2" "$work/sdl2/src"
  unpack_source "$work/mixer" "$work/mixer/src"
  unpack_source "$work/jpeg" "$work/jpeg/src"

  local common=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix"
    -DCMAKE_PREFIX_PATH="$prefix" -DBUILD_SHARED_LIBS=OFF)

  echo "velmorra-web: building SDL2 $sdl_version for the browser" >&2
  emcmake cmake -S "$work/sdl2/src" -B "$work/sdl2/build" "${common[@]}" \
    -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF >"$work/sdl2.log"
  cmake --build "$work/sdl2/build" -j "$jobs" >>"$work/sdl2.log"
  cmake --install "$work/sdl2/build" >>"$work/sdl2.log"

  # The music is MP3, decoded by the dr_mp3 that SDL2_mixer carries; every
  # other format is left out.
  echo "velmorra-web: building SDL2_mixer $mixer_version for the browser" >&2
  emcmake cmake -S "$work/mixer/src" -B "$work/mixer/build" "${common[@]}" \
    -DSDL2_DIR="$prefix/lib/cmake/SDL2" -DSDL2MIXER_VENDORED=OFF \
    -DSDL2MIXER_SAMPLES=OFF -DSDL2MIXER_CMD=OFF -DSDL2MIXER_FLAC=OFF -DSDL2MIXER_MOD=OFF \
    -DSDL2MIXER_MIDI=OFF -DSDL2MIXER_OPUS=OFF -DSDL2MIXER_VORBIS=OFF \
    -DSDL2MIXER_MP3=ON -DSDL2MIXER_MP3_DRMP3=ON -DSDL2MIXER_MP3_MPG123=OFF \
    -DSDL2MIXER_WAVE=ON >"$work/mixer.log"
  cmake --build "$work/mixer/build" -j "$jobs" >>"$work/mixer.log"
  cmake --install "$work/mixer/build" >>"$work/mixer.log"

  # libjpeg-turbo's type-size check reads 64-bit answers under emscripten;
  # wasm32's size_t is 4 bytes.
  echo "velmorra-web: building libjpeg-turbo $jpeg_version for the browser" >&2
  emcmake cmake -S "$work/jpeg/src" -B "$work/jpeg/build" "${common[@]}" \
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF \
    -DSIZE_T=4 -DUNSIGNED_LONG=4 \
    >"$work/jpeg.log"
  cmake --build "$work/jpeg/build" -j "$jobs" >>"$work/jpeg.log"
  cmake --install "$work/jpeg/build" >>"$work/jpeg.log"

  rm -rf "$work"
}

install_packages
cache="${VELMORRA_WEB_CACHE:-$HOME/.cache/velmorra-web}"
key="emscripten-$(emscripten_version)_sdl2-${sdl_version}_mixer-${mixer_version}_jpeg-${jpeg_version}"
libs="$cache/$key"
if [[ ! -f "$libs/.complete" ]]; then
  build_libraries "$libs"
  touch "$libs/.complete"
fi

if [[ "${1:-}" == "--libraries-only" ]]; then
  echo "$libs"
  exit 0
fi

# The media come from the native generator, which runs again whenever its
# sources changed.
data="$root/build/data"
if [[ ! -f "$root/build/CMakeCache.txt" ]]; then
  bash "$root/scripts/setup-deps.sh"
  cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
echo "velmorra-web: bringing the generated media up to date" >&2
cmake --build "$root/build" --target media -j "$jobs" >/dev/null

cmake_dir="$root/build-web-cmake"
out="$root/build-web"
emcmake cmake -S "$root/web" -B "$cmake_dir" -DCMAKE_BUILD_TYPE=Release \
  -DSDL2_DIR="$libs/lib/cmake/SDL2" -DSDL2_mixer_DIR="$libs/lib/cmake/SDL2_mixer" \
  -DJPEG_INCLUDE_DIR="$libs/include" -DJPEG_LIBRARY="$libs/lib/libjpeg.a" \
  -DVELMORRA_DATA_DIR="$data" -DVELMORRA_WERROR=ON \
  ${CMAKE_C_COMPILER_LAUNCHER:+-DCMAKE_C_COMPILER_LAUNCHER=$CMAKE_C_COMPILER_LAUNCHER} \
  ${CMAKE_CXX_COMPILER_LAUNCHER:+-DCMAKE_CXX_COMPILER_LAUNCHER=$CMAKE_CXX_COMPILER_LAUNCHER} \
  >/dev/null
cmake --build "$cmake_dir" -j "$jobs"

rm -rf "$out"
mkdir -p "$out"
cp "$cmake_dir"/{index.html,loading.jpg,favicon.png,velmorra.js,velmorra.wasm,velmorra.data} "$out/"
echo "velmorra-web: the page is in $out"
echo "velmorra-web: serve it with: python3 -m http.server -d $out   (then open http://localhost:8000/)"
