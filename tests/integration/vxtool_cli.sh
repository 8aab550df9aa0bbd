#!/usr/bin/env bash
# vxtool from the command line: round trips, and one clear line for every kind of bad input.
source "$(dirname "$0")/lib/test_setup.sh"
src=$2
vxtool=$bin/vxtool
password=$(grep -o '"[A-Za-z0-9]\{18\}"' "$src/src/project/archive_password.h" | tr -d '"')

# Runs vxtool expecting failure: a non-zero status and exactly one line on stderr containing $1.
expect_error() {
    local expected=$1
    shift
    if "$vxtool" "$@" >"$work/out" 2>"$work/err"; then
        fail "vxtool $* succeeded"
        return
    fi
    local lines
    lines=$(wc -l <"$work/err")
    grep -qF -- "$expected" "$work/err" || fail "vxtool $*: expected '$expected', got: $(cat "$work/err")"
    [ "$lines" -eq 1 ] || fail "vxtool $*: $lines lines on stderr"
}

proj_stream() { unzip -p -P "$password" "$1" _proj.dat; }

# inspect, pack, inspect gives identical JSON; pack, unpack, pack gives an identical stream.
"$vxtool" pack "$src/examples/demo/project.json" -o "$work/demo.cdd" || fail "pack demo"
"$vxtool" inspect "$work/demo.cdd" >"$work/a.json" || fail "inspect demo"
"$vxtool" pack "$work/a.json" -o "$work/b.cdd" || fail "pack inspected JSON"
"$vxtool" inspect "$work/b.cdd" >"$work/b.json" || fail "inspect repacked"
cmp -s "$work/a.json" "$work/b.json" || fail "inspect, pack, inspect changed the JSON"
"$vxtool" unpack "$work/demo.cdd" -o "$work/u.json" || fail "unpack"
cmp -s "$work/u.json" "$work/a.json" || fail "unpack differs from inspect"
"$vxtool" pack "$work/u.json" -o "$work/u.cdd" || fail "pack unpacked"
cmp -s <(proj_stream "$work/demo.cdd") <(proj_stream "$work/u.cdd") || fail "pack, unpack, pack changed the stream"
grep -q '"pageName": "Pictures"' "$work/a.json" || fail "demo pages missing from the JSON"

# A data file made by Info-ZIP with the archive password reads like our own.
mkdir -p "$work/zip" && proj_stream "$work/demo.cdd" >"$work/zip/_proj.dat"
(cd "$work/zip" && zip -q -P "$password" ../infozip.cdd _proj.dat) || fail "zip -P"
"$vxtool" inspect "$work/infozip.cdd" | cmp -s - "$work/a.json" || fail "Info-ZIP data file reads differently"

# Fonts: the face name comes from the font file's name table.
font=$(ls /usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf 2>/dev/null | head -n 1)
if [ -n "$font" ]; then
    "$vxtool" pack "$src/examples/demo/project.json" -o "$work/fonts.cdd" --font "$font" || fail "pack with a font"
    "$vxtool" inspect "$work/fonts.cdd" --fonts >"$work/fonts.json" || fail "inspect --fonts"
    grep -q '"faceName": "Liberation Sans"' "$work/fonts.json" || fail "font face name missing"
    grep -q "\"fontDataSize\": $(stat -c %s "$font")" "$work/fonts.json" || fail "font size wrong"
fi

# Bad input: one line on stderr, a non-zero status.
expect_error "no such file" inspect "$work/absent.cdd"
expect_error "wrong password" inspect "$work/demo.cdd" --password Another0Password12
echo "not a zip" >"$work/text.cdd"
expect_error "not a data file" inspect "$work/text.cdd"
(cd "$work/zip" && echo hi >other.txt && zip -q -P "$password" ../noentry.cdd other.txt)
expect_error 'no "_proj.dat" entry' inspect "$work/noentry.cdd"
head -c 300 "$work/zip/_proj.dat" >"$work/zip/cut" && mv "$work/zip/cut" "$work/zip/_proj.dat"
(cd "$work/zip" && zip -q -P "$password" ../truncated.cdd _proj.dat)
expect_error "end of data at byte" inspect "$work/truncated.cdd"
printf '{\n  "pages": [\n    {"pageName": 7}\n  ]\n}\n' >"$work/badtype.json"
expect_error 'line 3, key "pages[0].pageName": expected a string' pack "$work/badtype.json" -o "$work/x.cdd"
printf '{\n  "project": {\n    "windowWidth": 1,\n  }\n}\n' >"$work/syntax.json"
expect_error "bad JSON: line 4" pack "$work/syntax.json" -o "$work/x.cdd"
expect_error "unknown code page" inspect "$work/demo.cdd" --codepage nonsense
expect_error "unknown option" inspect "$work/demo.cdd" --frobnicate

# Nothing half-written: a failed pack leaves an existing output untouched and no litter.
cp "$work/demo.cdd" "$work/keep.cdd"
expect_error "expected a string" pack "$work/badtype.json" -o "$work/keep.cdd"
cmp -s "$work/demo.cdd" "$work/keep.cdd" || fail "failed pack changed the existing output"
expect_error "" pack "$work/a.json" -o "$work/no/such/folder/x.cdd"
leftovers=$(find "$work" -name '*.tmp*' | wc -l)
[ "$leftovers" -eq 0 ] || fail "temporary files left behind"

finish "vxtool command line"
