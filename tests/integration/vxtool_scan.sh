#!/usr/bin/env bash
# vxtool scan over a small corpus of our own: a good menu, one with missing media, a script that
# does not compile, an object kind the player lacks and a Windows transition plugin, a damaged
# data file, a zip bomb, a 10 GB file, a FIFO and a device named .cdd, and a link loop. One JSON line per data
# file, a summary table, and nothing written into the scanned folders.
source "$(dirname "$0")/lib/test_setup.sh"
py=/usr/bin/python3
cd "$work" || exit 1
mkdir -p corpus/good/assets corpus/broken/Data/Plugins corpus/odd
convert -size 8x8 xc:red corpus/good/assets/emblem.png
cp corpus/good/assets/emblem.png corpus/good/assets/really-a-png.jpg
cat >good.json <<'JSON'
{"project": {"projectTitle": "Good"},
 "pages": [{"pageName": "Home", "transitionName": "Vantorix Fade", "pageObjects": [
   {"typeCode": 3, "objectName": "Emblem", "image": {"imageFile": "assets\\emblem.png"}},
   {"typeCode": 3, "objectName": "Named", "image": {"imageFile": "ASSETS\\Really-A-Png.JPG"}},
   {"typeCode": 1, "objectName": "Title", "label": {"text": "Hello"},
    "objectEvents": [{"eventName": "On Click", "script": "for k, v in {1, 2} do Debug.Print(k) end"}]}]}]}
JSON
"$bin/vxtool" pack good.json -o corpus/good/GOOD.CDD || fail "pack good"
cat >broken.json <<'JSON'
{"header": {"dataFolderName": "Data"},
 "project": {"projectTitle": "Broken"},
 "pages": [{"pageName": "Home", "transitionName": "Spiral Galaxy", "pageObjects": [
   {"typeCode": 0, "objectName": "Play", "button": {"buttonFile": "buttons\\gone.btn"},
    "objectEvents": [{"eventName": "On Click", "script": "if then end"}]},
   {"typeCode": 5, "objectName": "Film", "video": {"file": "video\\film.avi"}},
   {"class": "CVantorixWebObject"}],
   "pageEvents": [{"eventName": "On Show", "script": "x = = 1"}]}]}
JSON
"$bin/vxtool" pack broken.json -o corpus/broken/menu.cdd || fail "pack broken"
printf 'MZ\x90\x00 a Windows library' >corpus/broken/Data/Plugins/Spiral.tns
head -c 100 corpus/good/GOOD.CDD >corpus/odd/damaged.cdd
$py - corpus/odd/bomb.cdd <<'PY'
import sys, zipfile
with zipfile.ZipFile(sys.argv[1], "w", zipfile.ZIP_DEFLATED) as archive:
    with archive.open("_proj.dat", "w", force_zip64=True) as entry:
        block = bytes(1 << 20)
        for _ in range(300):
            entry.write(block)
PY
truncate -s 10G corpus/odd/huge.cdd
mkfifo corpus/odd/fifo.cdd
ln -s /dev/zero corpus/odd/device.cdd
ln -s .. corpus/odd/loop
before=$(find corpus -printf '%p %s %T@\n' 2>/dev/null | sort)

timeout 60 "$bin/vxtool" scan corpus >scan.jsonl 2>stderr.txt || fail "the scan failed: $(cat stderr.txt)"
[ -s stderr.txt ] && fail "standard error, not a terminal: $(cat stderr.txt)"
after=$(find corpus -printf '%p %s %T@\n' 2>/dev/null | sort)
[ "$before" = "$after" ] || fail "the scan changed the scanned folders"

$py - scan.jsonl <<'PY' || fail "the scan's report"
import json, sys
lines = [json.loads(line) for line in open(sys.argv[1], encoding="utf-8")]
by_name = {line["file"].split("corpus/", 1)[-1]: line for line in lines}
problems = []
def expect(what, value, wanted):
    if value != wanted:
        problems.append(f"{what}: {value!r}, not {wanted!r}")
expect("the data files found", sorted(by_name),
       ["broken/menu.cdd", "good/GOOD.CDD", "odd/bomb.cdd", "odd/damaged.cdd", "odd/huge.cdd"])
good, broken = by_name.get("good/GOOD.CDD", {}), by_name.get("broken/menu.cdd", {})
expect("good reads", good.get("reads"), True)
expect("good title", good.get("title"), "Good")
expect("good objects", good.get("objects"), {"image": 2, "label": 1})
expect("good media", good.get("media"), [
    {"use": "picture", "name": "assets\\emblem.png", "exists": True, "format": "png"},
    {"use": "picture", "name": "ASSETS\\Really-A-Png.JPG", "exists": True, "format": "png"}])
expect("good scripts", good.get("scriptErrors"), [])
expect("good transitions", good.get("transitions"), [{"name": "Vantorix Fade", "own": True}])
expect("good needs", good.get("needs"), [])
expect("broken objects", broken.get("objects"), {"button": 1, "video": 1, "web": 1})
expect("broken missing media", broken.get("missingMedia"), 2)
expect("broken video", broken.get("video"), 1)
errors = broken.get("scriptErrors", [])
expect("broken script places", sorted(e["where"] for e in errors), ["page Home, On Show", "page Home, object Play, On Click"])
expect("broken transitions", broken.get("transitions"), [{"name": "Spiral Galaxy", "own": False}])
expect("broken transition files", broken.get("transitionFiles"), [{"file": "Data/Plugins/Spiral.tns", "format": "windows-program"}])
expect("broken needs", broken.get("needs"), ["the transition \"Spiral Galaxy\" of the menu's own plugins", "web browser objects"])
for name in ("odd/damaged.cdd", "odd/bomb.cdd", "odd/huge.cdd"):
    line = by_name.get(name, {})
    expect(name + " reads", line.get("reads"), False)
    if not line.get("error"):
        problems.append(name + " has no error")
if problems:
    print("\n".join(problems))
    sys.exit(1)
PY

timeout 60 "$bin/vxtool" scan corpus --summary >summary.txt 2>stderr.txt || fail "the summary failed: $(cat stderr.txt)"
grep -Eq '^data files +5$' summary.txt || fail "the summary's count: $(cat summary.txt)"
grep -Eq '^  that do not read +3$' summary.txt || fail "the summary's unread files: $(cat summary.txt)"
grep -Eq '^scripts that do not compile +2$' summary.txt || fail "the summary's scripts: $(cat summary.txt)"
"$bin/vxtool" scan "$work/nowhere" >/dev/null 2>&1 && fail "a missing folder is no error"

# A folder the user may not read is skipped and counted. Root reads every folder, so this part
# runs as nobody where it can.
if [ "$(id -u)" -eq 0 ] && command -v setpriv >/dev/null; then
    mkdir -p corpus/locked/inner
    cp corpus/good/GOOD.CDD corpus/locked/inner/
    chmod -R a+rX "$work"
    chmod 000 corpus/locked
    as_nobody() { setpriv --reuid=65534 --regid=65534 --clear-groups "$@"; }
fi
# (Only where nobody can reach the program and the corpus at all.)
if [ -d corpus/locked ] && as_nobody test -x "$bin/vxtool" -a -r "$work/corpus"; then
    as_nobody "$bin/vxtool" scan corpus --summary >locked.txt 2>stderr.txt || fail "the scan as nobody: $(cat stderr.txt)"
    grep -Eq '^folders that could not be read +1$' locked.txt || fail "the locked folder: $(cat locked.txt)"
    grep -Eq '^data files +5$' locked.txt || fail "the scan as nobody found: $(cat locked.txt)"
fi
[ -d corpus/locked ] && chmod 755 corpus/locked

finish "vxtool scan"
