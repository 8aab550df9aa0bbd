#!/usr/bin/env bash
# Installs the Debian 12 packages that building, testing and running need. Safe to run again.
set -euo pipefail

packages=(
    build-essential cmake pkg-config git
    clang                              # fuzz targets (libFuzzer)
    clang-format                       # the formatting check
    libzip-dev zlib1g-dev              # data files and button files
    nlohmann-json3-dev                 # vxtool's JSON form of projects
    liblua5.1-0-dev                    # scripts (run as the projects' Lua 5.0)
    libsqlite3-dev                     # the emulated registry
    qt6-base-dev libgl-dev             # the player's windows, painting, fonts and dialogs
    libpng-dev libjpeg62-turbo-dev libtiff-dev libstb-dev   # pictures
    imagemagick                        # tests draw their pictures with it
    libgtest-dev libgmock-dev libbenchmark-dev
    zip unzip                          # tests read and write data files with Info-ZIP too
    fontconfig                         # finds the installed fonts (fc-match in tests)
    fonts-liberation2                  # metric-compatible Arial, Times New Roman, Courier New
    fonts-liberation                   # Liberation Sans Narrow, metric-compatible Arial Narrow
    fonts-crosextra-carlito fonts-crosextra-caladea   # metric-compatible Calibri and Cambria
    fonts-dejavu-core                  # close to Verdana, Tahoma and Georgia
    fonts-comic-neue                   # close to Comic Sans MS
    fonts-wine                         # Wine's Tahoma, MS Sans Serif, System, Symbol, Wingdings ...
    libsdl2-dev                        # sound output
    libsndfile1-dev libvorbis-dev      # sound files (WAV, AIFF, FLAC, Ogg, Opus, MP3) and Vorbis comments
    libopenmpt-dev                     # tracker music (MOD, S3M, XM, IT)
    libfluidsynth-dev timgm6mb-soundfont   # MIDI, with a small General MIDI sound font
    vorbis-tools                       # tests make Ogg files with chosen comments (oggenc)
    libmpv-dev                         # video playback, drawn by us through its software renderer
    ffmpeg                             # tests and the demo make their movies with it
    qt6-webengine-dev qt6-webchannel-dev   # Flash: Ruffle's web build in a web view
    curl ca-certificates               # fetches Ruffle (scripts/fetch-ruffle.sh)
    desktop-file-utils appstream libxml2-utils   # the desktop files are checked with these
    shared-mime-info xdg-utils libglib2.0-bin    # tests ask the desktop what a .cdd opens with
    help2man                           # the manual pages, from the programs' --help
    dpkg-dev file                      # the Debian package: its dependencies (dpkg-shlibdeps)
    debootstrap                        # CI installs the package on a fresh Debian 12 too
    xvfb xauth                         # tests of what only a real window shows, under Xvfb
    libcdio-dev libiso9660-dev         # CD-ROM images read in place
    xorriso                            # tests make their disc images with it
)

if [ "${1:-}" = "--list" ]; then
    printf '%s\n' "${packages[@]}"
    exit 0
fi

fetch_ruffle() { "$(dirname "$0")/fetch-ruffle.sh"; }

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done
if [ ${#missing[@]} -eq 0 ]; then
    fetch_ruffle
    exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update
$sudo apt-get install -y --no-install-recommends "${missing[@]}"
fetch_ruffle
