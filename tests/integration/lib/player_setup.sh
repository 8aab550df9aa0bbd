# Shared by the player's integration scripts: arguments, a scratch folder, failure counting.
# Sourced with the bin folder as $1.
set -u
bin=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export VANTORIX_DATA_HOME=$work/data
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
command -v convert >/dev/null || { echo "ImageMagick is missing"; exit 1; }

# The texts of the debug events of a log, joined.
debug_texts() { grep -o '"ev":"debug","text":"[^"]*"' "$1" | sed 's/.*"text":"//; s/"$//' | tr -d '\n'; }

# Reports the result and ends the script.
finish() {
    [ "$failures" -eq 0 ] && echo "$1: all checks passed"
    exit $((failures > 0))
}

# The red, green and blue of a pixel of a screenshot: shot_pixel FILE X Y.
shot_pixel() { convert "$1" -format "%[fx:int(255*p{$2,$3}.r)],%[fx:int(255*p{$2,$3}.g)],%[fx:int(255*p{$2,$3}.b)]" info:; }

# A label object of a menu's JSON that runs a script when clicked: label NAME RECT SCRIPT.
label() {
    printf '{"typeCode": 1, "objectName": "%s", "rect": %s, "objectEvents": [{"eventName": "On Click", "script": "%s"}], "label": {"text": "%s", "font": {"height": -12}}}' \
        "$1" "$2" "$3" "$1"
}
