#!/usr/bin/env bash
# Fetches Ruffle's web build, the Flash player the player hosts, into third_party/ruffle (not in
# git). The version and its integrity hash are pinned here and nowhere else. Safe to run again:
# a folder that already holds this version is left as it is. Flash movies show their placeholder
# when it is missing, so a failed fetch is reported and the build goes on.
set -euo pipefail
version=0.6.0
integrity=sha512-P2X1zDENBoiLt2ZjPcsUzaDxoR7fVF2e1U/bi7hbIAQEjkykxljSoG8AgbywHvlVVzL9Y5tIZMRqDwIm31jgPA==

root=$(cd "$(dirname "$0")/.." && pwd)
target=$root/third_party/ruffle
if [ -f "$target/package/package.json" ] && grep -q "\"version\":\"$version\"" "$target/package/package.json"; then
    exit 0
fi
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
tarball=$scratch/ruffle.tgz
url=https://registry.npmjs.org/@ruffle-rs/ruffle/-/ruffle-$version.tgz
if ! curl -fsSL --retry 3 -o "$tarball" "$url"; then
    echo "fetch-ruffle: cannot download $url; Flash movies will show their placeholder" >&2
    exit 0
fi
expected=$(printf '%s' "${integrity#sha512-}" | base64 -d | od -An -tx1 | tr -d ' \n')
actual=$(sha512sum "$tarball" | cut -d' ' -f1)
if [ "$expected" != "$actual" ]; then
    echo "fetch-ruffle: $url does not match its pinned integrity hash; not installed" >&2
    exit 1
fi
rm -rf "$target"
mkdir -p "$target"
tar -xzf "$tarball" -C "$target"
echo "fetch-ruffle: Ruffle $version in $target"
