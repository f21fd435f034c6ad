#!/usr/bin/env bash
# Builds Oniguruma as a static mingw library from Debian's source package (the
# same version as the native libonig-dev) into build/deps/onig-mingw/{include,lib}.
#
# Source downloads need a deb-src entry. None is written into the repository:
# when apt has no source records, one is derived from the machine's own deb
# entries (deb822 *.sources or one-line *.list form) for this release's suites.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

LOG=onig-mingw
PREFIX=$TARNWELL_BUILD/deps/onig-mingw
SCRATCH=$TARNWELL_BUILD/deps/onig-src
SOURCES_LIST_D=/etc/apt/sources.list.d
DERIVED_NAME=tarnwell-deb-src

have_source_records() {
    apt-cache showsrc libonig-dev 2>/dev/null | grep -q '^Package:'
}

# Prints the deb822 stanzas whose Types include deb, turned into deb-src.
# Only stanzas for this release's suites (e.g. bookworm, bookworm-updates,
# bookworm-security) are copied; other repositories may carry no sources.
derive_deb822() {
    local codename=$1
    shift
    awk -v codename="$codename" '
        function flush() {
            if (is_deb && for_release && enabled) printf "%s\n", stanza
            stanza = ""; is_deb = 0; for_release = 0; enabled = 1
        }
        BEGIN { enabled = 1 }
        /^[ \t]*#/ { next }
        /^[ \t]*$/ { flush(); next }
        /^Types:/ {
            for (i = 2; i <= NF; i++) if ($i == "deb") is_deb = 1
            stanza = stanza "Types: deb-src\n"
            next
        }
        /^Suites:/ {
            for (i = 2; i <= NF; i++) if ($i == codename || index($i, codename "-") == 1) for_release = 1
        }
        /^Enabled:/ { if (tolower($2) == "no") enabled = 0 }
        { stanza = stanza $0 "\n" }
        END { flush() }
    ' "$@"
}

# Prints the one-line "deb ..." entries for this release as "deb-src ...".
derive_one_line() {
    local codename=$1
    shift
    awk -v codename="$codename" '
        $1 == "deb" {
            # deb [options] uri suite components...; the suite follows the uri.
            i = 2
            if ($2 ~ /^\[/) { while (i <= NF && $i !~ /\]$/) i++; i++ }
            suite = $(i + 1)
            if (suite == codename || index(suite, codename "-") == 1) {
                sub(/^deb/, "deb-src"); print
            }
        }
    ' "$@"
}

add_deb_src() {
    local codename
    codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
    [[ -n $codename ]] || die "cannot tell the Debian release from /etc/os-release"
    local -a deb822=() one_line=()
    local file
    for file in "$SOURCES_LIST_D"/*.sources; do
        [[ -f $file && $(basename "$file") != "$DERIVED_NAME.sources" ]] && deb822+=("$file")
    done
    [[ -f /etc/apt/sources.list ]] && one_line+=(/etc/apt/sources.list)
    for file in "$SOURCES_LIST_D"/*.list; do
        [[ -f $file && $(basename "$file") != "$DERIVED_NAME.list" ]] && one_line+=("$file")
    done
    local text
    if ((${#deb822[@]})); then
        text=$(derive_deb822 "$codename" "${deb822[@]}")
        [[ -n $text ]] && printf '%s\n' "$text" | as_root tee "$SOURCES_LIST_D/$DERIVED_NAME.sources" >/dev/null
    fi
    if ((${#one_line[@]})); then
        text=$(derive_one_line "$codename" "${one_line[@]}")
        [[ -n $text ]] && printf '%s\n' "$text" | as_root tee "$SOURCES_LIST_D/$DERIVED_NAME.list" >/dev/null
    fi
    ls "$SOURCES_LIST_D/$DERIVED_NAME".* >/dev/null 2>&1 ||
        die "found no deb entries for $codename to derive a deb-src entry from"
    DEBIAN_FRONTEND=noninteractive run_logged "$LOG" as_root apt-get update -q
}

fetch_source() {
    rm -rf "$SCRATCH"
    mkdir -p "$SCRATCH"
    # Named by the binary package; apt maps it to its source package.
    (cd "$SCRATCH" && run_logged "$LOG" apt-get source -q libonig-dev)
    local dirs=("$SCRATCH"/*/)
    [[ -d ${dirs[0]} ]] || die "apt-get source left no source folder in $SCRATCH"
    SOURCE_DIR=${dirs[0]%/}
}

build_and_install() {
    local staging=$PREFIX.staging
    rm -rf "$staging" "$SCRATCH/build"
    run_logged "$LOG" cmake -S "$SOURCE_DIR" -B "$SCRATCH/build" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$TARNWELL_ROOT/cmake/mingw-w64.cmake" \
        -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$staging" \
        -DBUILD_SHARED_LIBS=OFF \
        -DENABLE_POSIX_API=OFF
    run_logged "$LOG" cmake --build "$SCRATCH/build" -j2
    run_logged "$LOG" cmake --install "$SCRATCH/build"
    [[ -f $staging/lib/libonig.a && -f $staging/include/oniguruma.h ]] ||
        die "the Oniguruma build did not install lib/libonig.a and include/oniguruma.h"
    # Moved into place last, so an interrupted build is never taken for a finished one.
    rm -rf "$PREFIX"
    mv "$staging" "$PREFIX"
    rm -rf "$SCRATCH"
}

have_source_records || add_deb_src
have_source_records || die "apt has no source records for libonig-dev even after adding deb-src"
fetch_source
build_and_install
