#!/usr/bin/env bash
# Installs what the build and the tests need on Debian bookworm, then builds
# Oniguruma for mingw. Idempotent: when everything is there, a run costs one
# dpkg-query and one file test. Quiet on success; logs go to build/logs/deps.log.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

PACKAGES=(
    # native build, tests, sanitizers and libFuzzer
    build-essential cmake ninja-build git dpkg-dev
    clang libclang-rt-14-dev
    googletest libgtest-dev libbenchmark-dev
    libonig-dev
    # comparison libraries for the benchmarks
    libsimdjson-dev rapidjson-dev
    # Windows cross-build (posix thread model)
    g++-mingw-w64-x86-64-posix
    # running the Windows build: Wine on a virtual X display. Installed without
    # recommends, so the X and GL libraries Wine loads at run time are listed.
    wine wine64 xvfb xauth
    libgl1 libgl1-mesa-dri libxcomposite1 libxcursor1 libxfixes3 libxi6
    libxinerama1 libxrandr2 libxrender1 libxxf86vm1
    # fonts that stand in for Consolas, Cascadia Mono and Segoe UI under Wine
    fontconfig fonts-dejavu-core fonts-liberation
    # screenshots of the program
    imagemagick
)

missing_packages() {
    local -A installed=()
    local name status
    while read -r name status; do
        [[ $status == ii ]] && installed[$name]=1
    done < <(dpkg-query -W -f='${Package} ${db:Status-Abbrev}\n' "${PACKAGES[@]}" 2>/dev/null || true)
    for name in "${PACKAGES[@]}"; do
        [[ -n ${installed[$name]:-} ]] || echo "$name"
    done
}

install_packages() {
    local -a missing
    mapfile -t missing < <(missing_packages)
    ((${#missing[@]} == 0)) && return 0
    echo "deps: installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    run_logged deps as_root apt-get update -q
    run_logged deps as_root apt-get install -y -q --no-install-recommends "${missing[@]}"
}

if ! install_packages; then
    die "installing packages failed (see $TARNWELL_LOGS/deps.log)"
fi
if [[ ! -f $TARNWELL_BUILD/deps/onig-mingw/lib/libonig.a ]]; then
    echo "deps: building Oniguruma for mingw"
    "$TARNWELL_ROOT/scripts/build-onig-mingw.sh" ||
        die "building Oniguruma for mingw failed (see $TARNWELL_LOGS/onig-mingw.log)"
fi
