#!/usr/bin/env bash
# open.sh FILE: opens a JSON file in Tarnwell. On Linux it installs and builds
# what is missing, then runs tarnwell.exe under Wine. With a display (DISPLAY
# set) the program opens there and this waits until it is closed. Without one
# it runs on a virtual display, saves a screenshot once the file is shown,
# prints the screenshot's path and ends the program.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
cd "$TARNWELL_ROOT"

(($# == 1)) || { echo "usage: $0 FILE" >&2; exit 2; }
file=$(realpath -- "$1")
[[ -f $file ]] || die "no such file: $1"

scripts/deps.sh
if [[ ! -f build/bin/tarnwell.exe ]] || [[ -n $(find src cmake CMakeLists.txt -newer build/bin/tarnwell.exe -print -quit) ]]; then
    echo "open: building tarnwell.exe"
    run_logged build-windows cmake --preset windows || die "configuring failed"
    run_logged build-windows cmake --build --preset windows -j "${TARNWELL_JOBS:-2}" --target tarnwell ||
        die "building tarnwell.exe failed"
fi

if [[ -n ${DISPLAY:-} ]]; then
    source scripts/wine-env.sh
    wine_prefix_ready
    exec wine build/bin/tarnwell.exe "$file"
fi

# The script waits for the load, lets the window settle, and takes the picture.
tmp=build/tmp/open
mkdir -p "$tmp" build/screens
printf 'wait 1\nscreenshot open\n' >"$tmp/open.script"
rm -f build/screens/win-open.bmp
scripts/wine-run.sh --display --timeout 300 build/bin/tarnwell.exe --test-script "$tmp/open.script" \
    --settings "$tmp/settings.txt" --test-out "$tmp/open.out" "$file" || die "tarnwell.exe failed (see $tmp/open.out)"
[[ -f build/screens/win-open.bmp ]] || die "no screenshot was taken (see $tmp/open.out)"
convert build/screens/win-open.bmp build/screens/open.png
echo "$TARNWELL_ROOT/build/screens/open.png"
