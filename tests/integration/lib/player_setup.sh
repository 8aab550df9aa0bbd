# Shared by the player's integration scripts: the common setup, and helpers for menus, logs
# and screenshots. Sourced with the bin folder as $1.
source "$(dirname "${BASH_SOURCE[0]}")/test_setup.sh"
export VANTORIX_DATA_HOME=$work/data
command -v convert >/dev/null || { echo "ImageMagick is missing"; exit 1; }

# The texts of the debug events of a log, joined.
debug_texts() { grep -o '"ev":"debug","text":"[^"]*"' "$1" | sed 's/.*"text":"//; s/"$//' | tr -d '\n'; }

# The red, green and blue of a pixel of a screenshot: shot_pixel FILE X Y.
shot_pixel() { convert "$1" -format "%[fx:int(255*p{$2,$3}.r)],%[fx:int(255*p{$2,$3}.g)],%[fx:int(255*p{$2,$3}.b)]" info:; }

# An event of a menu's JSON whose script prints TEXT; to the debug window: print_event NAME TEXT.
print_event() { printf '{"eventName": "%s", "script": "Debug.Print(\\"%s;\\")"}' "$1" "$2"; }

# A label object of a menu's JSON that runs a script when clicked: label NAME RECT SCRIPT.
label() {
    printf '{"typeCode": 1, "objectName": "%s", "rect": %s, "objectEvents": [{"eventName": "On Click", "script": "%s"}], "label": {"text": "%s", "font": {"height": -12}}}' \
        "$1" "$2" "$3" "$1"
}
