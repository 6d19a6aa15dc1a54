#!/usr/bin/env bash
# Builds velmorra with AddressSanitizer and UBSan into build-asan/ and runs
# every test with leak checking on; only faults in our own code are reported.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/scripts/setup-deps.sh"
cmake -S "$root" -B "$root/build-asan" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORRA_SANITIZE=ON \
  >/dev/null
cmake --build "$root/build-asan" -j "$(nproc)"

# libglvnd loads Mesa's EGL library and llvmpipe driver and unloads them again
# before the leak check, which then cannot name (nor suppress) their frames.
# Preloaded, they stay: what they hold stays reachable, and what they leak is
# named and suppressed by tests/sanitizer/lsan.supp.
libraries="/usr/lib/$(gcc -print-multiarch)"
preload=""
for library in "$libraries/libEGL_mesa.so.0" "$libraries/dri/swrast_dri.so"; do
  if [[ -e "$library" ]]; then preload+="$library "; fi
done
export LD_PRELOAD="$preload"
export ASAN_OPTIONS="detect_leaks=1:verify_asan_link_order=0"
export LSAN_OPTIONS="suppressions=$root/tests/sanitizer/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
cd "$root/build-asan"
ctest --output-on-failure -j "$(nproc)" "$@"
