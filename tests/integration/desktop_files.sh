#!/usr/bin/env bash
# The desktop files: the menu entry, the AppStream description and the data files' type are
# valid, and with them installed a .cdd, by its name or by its contents alone, is a menu data
# file that the desktop opens with the player, while another zip archive stays a zip archive.
source "$(dirname "$0")/lib/test_setup.sh"
data=$(cd "$2/data" && pwd)
for tool in desktop-file-validate appstreamcli xmllint update-mime-database update-desktop-database xdg-mime gio zip; do
    command -v $tool >/dev/null || { echo "$tool is missing (scripts/install-deps.sh installs it)"; exit 1; }
done

desktop-file-validate "$data/vantorix.desktop" || fail "the desktop entry"
appstreamcli validate --no-net "$data/org.vantorix.Player.metainfo.xml" >"$work/appstream.txt" ||
    fail "the AppStream description: $(cat "$work/appstream.txt")"
xmllint --noout "$data/vantorix-cdd.xml" || fail "the type's XML"

# The desktop's own databases, in a scratch home.
export XDG_DATA_HOME=$work/share XDG_CONFIG_HOME=$work/config XDG_CURRENT_DESKTOP=GNOME
mkdir -p "$XDG_DATA_HOME/mime/packages" "$XDG_DATA_HOME/applications" "$XDG_CONFIG_HOME"
cp "$data/vantorix-cdd.xml" "$XDG_DATA_HOME/mime/packages/"
cp "$data/vantorix.desktop" "$XDG_DATA_HOME/applications/"
update-mime-database "$XDG_DATA_HOME/mime" || fail "update-mime-database"
update-desktop-database "$XDG_DATA_HOME/applications" || fail "update-desktop-database"

cd "$work" || exit 1
echo '{"project": {}, "pages": [{"pageName": "Home"}]}' >menu.json
"$bin/vxtool" pack menu.json -o MENU.CDD || fail "pack"
cp MENU.CDD no-extension
echo "x" >_fonts.dat
zip -q fonts-first.bin _fonts.dat
echo "x" >other.txt
zip -q other.zip other.txt
type_of() { xdg-mime query filetype "$1" 2>/dev/null; }
for file in MENU.CDD no-extension fonts-first.bin; do
    [ "$(type_of $file)" = "application/x-vantorix-cdd" ] || fail "$file is $(type_of $file)"
done
[ "$(type_of other.zip)" = "application/zip" ] || fail "another zip archive is $(type_of other.zip)"
[ "$(xdg-mime query default application/x-vantorix-cdd)" = "vantorix.desktop" ] ||
    fail "the desktop opens data files with $(xdg-mime query default application/x-vantorix-cdd)"

finish "desktop files"
