#!/usr/bin/env bash
# Installs what is missing, then configures and builds into build/.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/scripts/setup-deps.sh"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORRA_WERROR=ON >/dev/null
cmake --build "$root/build" -j "$(nproc)"
