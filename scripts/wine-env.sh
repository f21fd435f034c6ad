# Sourced: the environment for running Tarnwell's Windows binaries under Wine,
# and wine_prefix_ready, which sets the prefix up once.
#
# The prefix is private to the checkout (build/wine), 64-bit only, and silent.
# Mono and Gecko are never installed (mscoree and mshtml are disabled), and
# winemenubuilder is disabled so nothing lands in the desktop's menus.
#
# Paths: drive Z: is the Unix root, and a program started outside the prefix's
# drive_c starts on Z:. A Unix absolute path such as /work/shared/x.json opens
# unchanged from the Windows side (Wine finds it even from C:).
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

export WINEPREFIX=${TARNWELL_WINEPREFIX:-$TARNWELL_BUILD/wine}
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

# Registry settings of the prefix: the fonts the program asks for mapped to
# installed families (Wine reports the replacement's own metrics, so the
# monospaced faces must map to a monospaced family); the Windows version the
# program is made for; no crash dialog, which on a display would wait for
# a click until the time limit instead of letting the crash be reported; and
# window frames drawn by Wine itself, which without a window manager would
# stay black.
tarnwell_wine_settings() {
    cat <<'EOF'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine]
"Version"="win10"

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Decorated"="N"

[HKEY_CURRENT_USER\Software\Wine\Direct3D]
"csmt"=dword:00000000

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"Consolas"="DejaVu Sans Mono"
"Cascadia Mono"="DejaVu Sans Mono"
"Segoe UI"="DejaVu Sans"
EOF
}

# Creates the prefix and applies the registry settings, unless the stamp
# says this exact set-up was done already. Safe to call from parallel runs.
wine_prefix_ready() {
    local stamp=$WINEPREFIX/.tarnwell-ready
    local wanted
    wanted=$(tarnwell_wine_settings)
    [[ -f $stamp && $(<"$stamp") == "$wanted" ]] && return 0

    mkdir -p "$(dirname "$WINEPREFIX")"
    local lock_fd
    exec {lock_fd}>"$WINEPREFIX.lock"
    flock "$lock_fd"
    if [[ -f $stamp && $(<"$stamp") == "$wanted" ]]; then
        exec {lock_fd}>&-
        return 0
    fi
    local family
    for family in "DejaVu Sans Mono" "DejaVu Sans"; do
        fc-list -q "$family" || die "font family '$family' is not installed (scripts/deps.sh installs it)"
    done
    # Without DISPLAY, wineboot cannot show its "updating configuration" window.
    run_logged wine env -u DISPLAY wineboot -i || die "wineboot failed (see $TARNWELL_LOGS/wine.log)"
    local reg=$WINEPREFIX/tarnwell-settings.reg
    printf '%s\n' "$wanted" >"$reg"
    run_logged wine env -u DISPLAY wine regedit /S "Z:${reg//\//\\}" ||
        die "importing the registry settings failed (see $TARNWELL_LOGS/wine.log)"
    # The registry reaches the prefix's files only when the server exits.
    run_logged wine wineserver -w
    printf '%s' "$wanted" >"$stamp"
    exec {lock_fd}>&-
}
