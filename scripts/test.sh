#!/usr/bin/env bash
# Builds velmorra and runs every test. Exits non-zero when anything fails.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/scripts/check-floors.sh"
# The browser build first, so that configuring build/ finds Chromium and the
# browser test has build-web/ to open.
bash "$root/scripts/web.sh"
# The Windows zip, which the Wine test unpacks.
bash "$root/scripts/windows.sh"
bash "$root/scripts/build.sh"
cd "$root/build"
ctest --output-on-failure -j "$(nproc)"

# The JPEG decoder's fuzz target runs for 30 s when clang's libFuzzer runtime
# is installed; any crash, leak or sanitizer report fails the run.
fuzzer_runtime="$(ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a 2>/dev/null |
  head -n 1 || true)"
if [[ -n "$fuzzer_runtime" ]] && command -v clang++ >/dev/null; then
  fuzz="$root/build-fuzz"
  cmake -S "$root" -B "$fuzz" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DVELMORRA_FUZZ=ON -DVELMORRA_WERROR=ON -DBUILD_TESTING=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$fuzz" --target fuzz_jpeg fuzz_jpeg_seeds -j "$(nproc)" >/dev/null
  mkdir -p "$fuzz/jpeg-corpus"
  "$fuzz/tests/fuzz/fuzz_jpeg_seeds" "$fuzz/jpeg-corpus"
  if ! "$fuzz/tests/fuzz/fuzz_jpeg" -max_total_time=30 -artifact_prefix="$fuzz/" \
    "$fuzz/jpeg-corpus" >"$fuzz/fuzz_jpeg.log" 2>&1; then
    tail -n 40 "$fuzz/fuzz_jpeg.log" >&2
    echo "fuzz_jpeg found a fault; the input is in $fuzz/" >&2
    exit 1
  fi
  echo "fuzz_jpeg: 30 s, no fault"
fi
