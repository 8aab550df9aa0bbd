#!/usr/bin/env bash
# Fails on an include that goes against the layer table of docs/architecture.md: every
# `#include "folder/file.h"` of a source folder must name that folder or one of its row.
set -euo pipefail
root="${1:-$(cd "$(dirname "$0")/.." && pwd)}"
table="$root/docs/architecture.md"

declare -A allowed
while IFS= read -r line; do
    folder=$(sed -E 's/^\| `([^`]+)` \|.*/\1/' <<<"$line")
    allowed[$folder]=" $folder $(sed -E 's/^\| `[^`]+` \|//; s/[`,|]/ /g' <<<"$line") "
done < <(sed -n '/^## Layers/,/^## /p' "$table" | grep -E '^\| `[a-z/]+` \|')

[ "${#allowed[@]}" -gt 0 ] || { echo "check-layers: no layer table in $table" >&2; exit 2; }

# The folder of a source file as the table names it: src/ dropped, the deepest folder in the table.
folder_of() {
    local dir
    dir=$(dirname "${1#"$root"/}")
    dir=${dir#src/}
    while [ -n "$dir" ] && [ "$dir" != "." ]; do
        [ -n "${allowed[$dir]+set}" ] && { echo "$dir"; return; }
        dir=$(dirname "$dir")
    done
}

failures=0
while IFS= read -r file; do
    from=$(folder_of "$file")
    if [ -z "$from" ]; then
        echo "check-layers: ${file#"$root"/} is in no folder of the layer table" >&2
        failures=$((failures + 1))
        continue
    fi
    while IFS= read -r include; do
        target=$(dirname "$include")
        [ "$target" = "." ] && continue  # a file of the same folder, named without it
        if [[ "${allowed[$from]}" != *" $target "* ]]; then
            echo "check-layers: ${file#"$root"/} ($from) includes \"$include\" ($target)" >&2
            failures=$((failures + 1))
        fi
    done < <(sed -nE 's/^[[:space:]]*#[[:space:]]*include[[:space:]]+"([^"]+)".*/\1/p' "$file")
done < <(find "$root/src" "$root/tools/vxtool" -name '*.h' -o -name '*.cpp' | sort)

if [ "$failures" -gt 0 ]; then
    echo "check-layers: $failures include(s) against docs/architecture.md" >&2
    exit 1
fi
echo "check-layers: every include follows docs/architecture.md"
