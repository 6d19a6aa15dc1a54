#!/usr/bin/env bash
# Builds the Debian package build/velmorra_<version>_<arch>.deb with CPack,
# checks it with lintian, desktop-file-validate and appstreamcli, and prints
# its path. Installs the packages it needs first, as scripts/build.sh does.
#
#   scripts/package.sh
#   apt-get install ./build/velmorra_*.deb
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build"
bash "$root/scripts/setup-deps.sh" --packaging

# Debian's hardening flags (stack protector, fortified functions, read-only
# relocations, bind now), as a package built by dpkg-buildpackage gets them.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORRA_WERROR=ON \
  -DCMAKE_C_FLAGS="$(dpkg-buildflags --get CFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build "$build" -j "$(nproc)" --target velmorra media packaging_docs >/dev/null

rm -f "$build"/velmorra_*.deb
(cd "$build" && cpack -G DEB --config CPackConfig.cmake >/dev/null)
deb="$(ls "$build"/velmorra_*.deb)"

# The checks: lintian's errors fail the package (its warnings are printed),
# and the menu entry and metainfo are validated as installed.
lintian --fail-on error "$deb" >&2
unpacked="$(mktemp -d "${TMPDIR:-/tmp}/velmorra-deb-XXXXXX")"
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
desktop-file-validate "$unpacked"/usr/share/applications/*.desktop
appstreamcli validate --no-net "$unpacked"/usr/share/metainfo/*.metainfo.xml >&2
echo "$deb"
