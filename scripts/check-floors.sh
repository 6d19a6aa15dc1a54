#!/usr/bin/env bash
# Prints which folders of src/ include which (with the number of includes)
# and fails when the includes go round in a circle or a folder includes one
# on a floor above its own. The floors, top to bottom:
#
#   shell > sequence > effects > presentation > gfx > media, sound > platform > base
#
# A folder may include any folder on a lower floor; media and sound share a
# floor, and sound may read files through media but not the other way round.
set -euo pipefail
src="$(cd "$(dirname "${BASH_SOURCE[0]}")/../src" && pwd)"

floors=(shell sequence effects presentation gfx sound media platform base)

rank() {
  local i
  for i in "${!floors[@]}"; do
    if [[ "${floors[i]}" == "$1" ]]; then
      echo "$i"
      return
    fi
  done
  echo -1
}

# One "from to" line per include between two folders.
edges="$(cd "$src" && grep -rHo '^#include "[a-z_]*/' --include='*.h' --include='*.cpp' . |
  sed -E 's|^\./([a-z_]+)/.*#include "([a-z_]+)/$|\1 \2|' | awk '$1 != $2')"

echo "Includes between the folders of src/ (count, from -> to):"
sort <<<"$edges" | uniq -c | awk '{printf "  %4d  %-13s -> %s\n", $1, $2, $3}'

status=0
while read -r from to; do
  [[ -n "$from" ]] || continue
  a="$(rank "$from")"
  b="$(rank "$to")"
  if ((a < 0 || b < 0)); then
    echo "check-floors: src/$from or src/$to is on no floor; add it to scripts/check-floors.sh" >&2
    status=1
  elif ((a >= b)); then
    echo "check-floors: src/$from includes src/$to, which is not on a lower floor" >&2
    status=1
  fi
done < <(sort -u <<<"$edges")

# tsort names any circle, whatever the floors say.
if ! loops="$(sort -u <<<"$edges" | tsort 2>&1 >/dev/null)"; then
  echo "check-floors: the includes go round in a circle; the first one tsort found:" >&2
  awk '/input contains a loop/ && n++ {exit} {print}' <<<"$loops" >&2
  status=1
fi

if ((status == 0)); then
  echo "check-floors: every include points down; no circle"
fi
exit "$status"
