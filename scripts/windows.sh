#!/usr/bin/env bash
# Cross-builds the Windows version of the demo into build-win/ and packs
# build-win/velmorra-<version>-win64.zip: velmorra.exe, data/ and README.txt.
# Needs only Debian's packages: mingw-w64 compiles the same sources, and SDL2,
# SDL2_mixer, libjpeg-turbo, libpng and zlib are built for Windows from
# Debian's source packages and kept in ~/.cache/velmorra-win/ (keyed by their
# versions and the compiler's), so later builds only compile the demo. Every
# library is linked statically: the program needs no DLL beyond Windows' own.
#
#   scripts/windows.sh                    then: unzip build-win/velmorra-*-win64.zip
#   scripts/windows.sh --libraries-only   builds the cached libraries, prints where
#
# The media come from the native build's generator (build/data), brought up
# to date first. VELMORRA_WIN_CACHE moves the library cache; VELMORRA_JOBS
# sets the build's parallelism (default 2).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
jobs="${VELMORRA_JOBS:-2}"
# shellcheck source=scripts/debian-sources.sh
source "$root/scripts/debian-sources.sh"
toolchain="$root/win/mingw-w64-x86_64.cmake"
triple=x86_64-w64-mingw32

sdl_version=2.26.5
mixer_version=2.6.2
jpeg_version=2.1.5
png_version=1.6.39
zlib_version=1.2.13

install_packages() {
  install_missing_packages velmorra-win g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 dpkg-dev cmake make
}

compiler_version() { "$triple-g++-posix" -dumpfullversion; }

# Configures, builds and installs one CMake project from $2 with the
# toolchain; the rest of the arguments are its options. The log stays in the
# work directory and is shown when a step fails.
cmake_library() {
  local name="$1" source="$2" work="$3" prefix="$4"
  shift 4
  local log="$work/$name.log"
  if ! {
    cmake -S "$source" -B "$work/$name-build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
      -DCMAKE_FIND_ROOT_PATH="$prefix" -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_PREFIX_PATH="$prefix" -DBUILD_SHARED_LIBS=OFF "$@" &&
      cmake --build "$work/$name-build" -j "$jobs" &&
      cmake --install "$work/$name-build"
  } >"$log" 2>&1; then
    tail -n 40 "$log" >&2
    echo "velmorra-win: building $name failed; the log is $log" >&2
    exit 1
  fi
}

build_libraries() {
  local prefix="$1" work="$1.work"
  rm -rf "$work" "$prefix"
  mkdir -p "$work" "$prefix/include" "$prefix/lib"
  local package
  for package in libsdl2:sdl2 libsdl2-mixer:mixer libjpeg-turbo:jpeg libpng1.6:png zlib:zlib; do
    fetch_source "${package%%:*}" "$work/${package##*:}" "$work/apt"
    unpack_source "$work/${package##*:}" "$work/${package##*:}/src"
  done

  # zlib is fifteen C files: compiled straight into a static libz.a (Debian's
  # source leaves out the win32 makefile, and its CMake build adds DLLs and
  # examples nothing here needs).
  echo "velmorra-win: building zlib $zlib_version for Windows" >&2
  local file objects=()
  for file in adler32 compress crc32 deflate gzclose gzlib gzread gzwrite infback inffast \
    inflate inftrees trees uncompr zutil; do
    "$triple-gcc-posix" -O2 -c "$work/zlib/src/$file.c" -o "$work/zlib/$file.o"
    objects+=("$work/zlib/$file.o")
  done
  "$triple-ar" rcs "$prefix/lib/libz.a" "${objects[@]}"
  cp "$work/zlib/src/zlib.h" "$work/zlib/src/zconf.h" "$prefix/include/"

  echo "velmorra-win: building libpng $png_version for Windows" >&2
  cmake_library png "$work/png/src" "$work" "$prefix" -DPNG_SHARED=OFF -DPNG_STATIC=ON \
    -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF -DZLIB_LIBRARY="$prefix/lib/libz.a" \
    -DZLIB_INCLUDE_DIR="$prefix/include"

  echo "velmorra-win: building SDL2 $sdl_version for Windows" >&2
  cmake_library sdl2 "$work/sdl2/src" "$work" "$prefix" -DSDL_SHARED=OFF -DSDL_STATIC=ON \
    -DSDL_TEST=OFF

  # The music is MP3, decoded by the dr_mp3 that SDL2_mixer carries; every
  # other format is left out.
  echo "velmorra-win: building SDL2_mixer $mixer_version for Windows" >&2
  cmake_library mixer "$work/mixer/src" "$work" "$prefix" -DSDL2_DIR="$prefix/lib/cmake/SDL2" \
    -DSDL2MIXER_VENDORED=OFF -DSDL2MIXER_SAMPLES=OFF -DSDL2MIXER_CMD=OFF \
    -DSDL2MIXER_FLAC=OFF -DSDL2MIXER_MOD=OFF -DSDL2MIXER_MIDI=OFF -DSDL2MIXER_OPUS=OFF \
    -DSDL2MIXER_VORBIS=OFF -DSDL2MIXER_MP3=ON -DSDL2MIXER_MP3_DRMP3=ON \
    -DSDL2MIXER_MP3_MPG123=OFF -DSDL2MIXER_WAVE=ON

  # Without its SIMD code libjpeg-turbo needs no assembler; the pictures are
  # decoded once, at start-up.
  echo "velmorra-win: building libjpeg-turbo $jpeg_version for Windows" >&2
  cmake_library jpeg "$work/jpeg/src" "$work" "$prefix" -DENABLE_SHARED=OFF \
    -DENABLE_STATIC=ON -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF

  rm -rf "$work"
}

install_packages
cache="${VELMORRA_WIN_CACHE:-$HOME/.cache/velmorra-win}"
key="mingw-$(compiler_version)_sdl2-${sdl_version}_mixer-${mixer_version}_jpeg-${jpeg_version}"
key+="_png-${png_version}_zlib-${zlib_version}"
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
echo "velmorra-win: bringing the generated media up to date" >&2
cmake --build "$root/build" --target media -j "$jobs" >/dev/null

cmake_dir="$root/build-win-cmake"
out="$root/build-win"
cmake -S "$root/win" -B "$cmake_dir" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_FIND_ROOT_PATH="$libs" -DCMAKE_PREFIX_PATH="$libs" -DCMAKE_BUILD_TYPE=Release \
  -DVELMORRA_DATA_DIR="$data" -DVELMORRA_WERROR=ON \
  ${CMAKE_C_COMPILER_LAUNCHER:+-DCMAKE_C_COMPILER_LAUNCHER=$CMAKE_C_COMPILER_LAUNCHER} \
  ${CMAKE_CXX_COMPILER_LAUNCHER:+-DCMAKE_CXX_COMPILER_LAUNCHER=$CMAKE_CXX_COMPILER_LAUNCHER} \
  >/dev/null
cmake --build "$cmake_dir" -j "$jobs"

# The zip: one folder named like the zip, holding the program, its media and
# the short README.
version="$(sed -n 's/^project(velmorra VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")"
name="velmorra-$version-win64"
rm -rf "$out"
mkdir -p "$out/$name"
cp "$cmake_dir/velmorra.exe" "$out/$name/"
mkdir -p "$out/$name/data"
cp "$data"/*.jpg "$data"/*.mp3 "$out/$name/data/"
# CRLF line ends, which every Notepad shows as lines.
sed -e "s/@VERSION@/$version/" -e "s/$/\r/" "$root/win/README.txt" >"$out/$name/README.txt"
(cd "$out" && cmake -E tar cf "$name.zip" --format=zip "$name")
rm -rf "${out:?}/$name"
echo "velmorra-win: the program is in $out/$name.zip"
