#!/usr/bin/env bash
# The test command. Installs what is missing, then builds and runs every test:
# the unit tests natively under ASan+UBSan, the end-to-end script cases, the
# concurrency tests under ThreadSanitizer, the same tests cross-built for
# Windows and run under Wine, the Wine harness check, and each libFuzzer target
# for a short fixed time.
# Prints one line per step and ends with exactly one line "N passed, N failed"
# summing them all; exits non-zero if anything failed or failed to build.
#
# Environment: TARNWELL_FUZZ_SECONDS (default 20) per fuzz target,
# TARNWELL_JOBS (default 2) for builds and parallel fuzzers.
#
# Adding a step: write a function that builds with build_preset and reports
# with run_gtest, run_one or record, then list it in STEPS below.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
cd "$TARNWELL_ROOT"

FUZZ_SECONDS=${TARNWELL_FUZZ_SECONDS:-20}
JOBS=${TARNWELL_JOBS:-2}
BIN=$TARNWELL_BUILD/bin

total_passed=0
total_failed=0
fuzz_pids=()

cleanup() {
    local pid
    for pid in "${fuzz_pids[@]}"; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    # wine-run.sh ends its own processes; this covers an interrupted run.
    if [[ -d $TARNWELL_BUILD/wine ]]; then
        WINEPREFIX=$TARNWELL_BUILD/wine wineserver -k >/dev/null 2>&1 || true
        WINEPREFIX=$TARNWELL_BUILD/wine wineserver -w >/dev/null 2>&1 || true
    fi
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# record NAME PASSED FAILED [NOTE]
record() {
    total_passed=$((total_passed + $2))
    total_failed=$((total_failed + $3))
    printf '%-22s %d passed, %d failed%s\n' "$1" "$2" "$3" "${4:+  ($4)}"
}

# build_preset PRESET: configures and builds one CMake preset; a failure is
# counted as one failed test for that half.
build_preset() {
    local preset=$1 log=build-$1
    rm -f "$TARNWELL_LOGS/$log.log"
    if run_logged "$log" cmake --preset "$preset" &&
        run_logged "$log" cmake --build --preset "$preset" -j "$JOBS"; then
        return 0
    fi
    record "$preset build" 0 1 "see build/logs/$log.log"
    return 1
}

# run_gtest NAME COMMAND...: runs a GoogleTest binary and counts its summary.
# Without a summary (the binary crashed), the tests that reported OK count as
# passed and the crash as one more failure, as does a non-zero exit with no
# failed test listed (a leak report at exit, say).
run_gtest() {
    local name=$1 log=$TARNWELL_LOGS/test-$1.log start=$SECONDS
    shift
    mkdir -p "$TARNWELL_LOGS"
    local status=0
    "$@" --gtest_color=no >"$log" 2>&1 || status=$?
    local counts
    # Output from the Windows build ends its lines with CR LF.
    counts=$(tr -d '\r' <"$log" | awk '
        /^\[       OK \] / { ok++ }
        /^\[  FAILED  \] .* \([0-9]+ ms\)$/ { failed_one++ }
        /^\[  PASSED  \] [0-9]+ tests?\./ { passed = $4; summary = 1 }
        /^\[  FAILED  \] [0-9]+ tests?, listed below/ { failed = $4 }
        /^\[  SKIPPED \] [0-9]+ tests?,/ { skipped = $4 }
        END {
            if (!summary) { passed = ok; failed = failed_one + 1 }
            printf "%d %d %d %d\n", passed, failed, skipped, summary
        }
    ')
    local passed failed skipped summary
    read -r passed failed skipped summary <<<"$counts"
    local note="$((SECONDS - start)) s"
    if ((skipped > 0)); then note+=", $skipped skipped"; fi
    # A failure the test list cannot explain: the end of the output shows why.
    local unexplained=0
    if ((!summary)); then
        unexplained=1
        note+=", crashed with exit status $status"
    elif ((status != 0 && failed == 0)); then
        unexplained=1
        failed=1
        note+=", exit status $status"
    fi
    record "$name" "$passed" "$failed" "$note"
    if ((failed > 0)); then
        echo "--- $name: failures (full output in $log)" >&2
        tr -d '\r' <"$log" | sed -n 's/^\[  FAILED  \] \(.*\) ([0-9]* ms)$/  \1/p' >&2
        if ((unexplained)); then tail -n 30 "$log" >&2; fi
    fi
}

# run_one NAME COMMAND...: one test, passed when COMMAND exits with 0.
run_one() {
    local name=$1 log=$TARNWELL_LOGS/test-$1.log start=$SECONDS
    shift
    mkdir -p "$TARNWELL_LOGS"
    local status=0
    "$@" >"$log" 2>&1 || status=$?
    if ((status == 0)); then
        record "$name" 1 0 "$((SECONDS - start)) s"
    else
        record "$name" 0 1 "exit status $status"
        echo "--- $name: last lines of $log" >&2
        tail -n 30 "$log" >&2
    fi
}

# The loader's and the search's tests once more on the SSE2 baseline, which
# every x86-64 CPU runs (by default they run the widest variant the CPU has).
LOADER_TESTS='Load*:Parse*:ParallelLines*:Records*:Conformance*:Document*:Matcher*:SearchRun*'

step_native() {
    build_preset debug || return 0
    run_gtest native "$BIN/tarnwell-tests"
    TARNWELL_CPU=sse2 run_gtest native-sse2 "$BIN/tarnwell-tests" --gtest_filter="$LOADER_TESTS"
}

# The tests of what threads share, under ThreadSanitizer. Only they are built.
step_tsan() {
    build_preset tsan || return 0
    run_gtest tsan "$TARNWELL_BUILD/tsan/bin/tarnwell-concurrency-tests"
}

step_windows() {
    build_preset windows || return 0
    run_gtest wine scripts/wine-run.sh --timeout 600 "$BIN/tarnwell-tests.exe"
    TARNWELL_CPU=sse2 run_gtest wine-sse2 scripts/wine-run.sh --timeout 600 "$BIN/tarnwell-tests.exe" \
        --gtest_filter="$LOADER_TESTS"
    run_one wine-harness scripts/wine-run.sh --display --timeout 120 "$BIN/wine-probe.exe"
    run_one wine-list scripts/wine-run.sh --display --timeout 120 "$BIN/list-check.exe"
}

# The end-to-end cases, each one test: tests/e2e/NAME.script run from the
# repository root with a fresh settings file and the extra arguments of
# NAME.args, if any, and NAME.settings as the settings file when there is one.
# The output must equal NAME.expected byte for byte, with @ROOT@ standing for
# the repository root (the recent files list absolute paths), and the exit code
# must be 2 when that holds a script-error line, else 0. Both hosts run the
# same cases with the same expected files: the headless host (tarnwell-cli
# --test-script, built by step_native with the sanitizers) and the Windows
# program under Wine on a virtual display.
# The 270 MB input of the copy confirmation is made here, never committed.
E2E_INPUTS=build/tmp/e2e

# expand_root WINDOWS_PATHS EXPECTED: the expected output with @ROOT@ replaced
# by the repository root as the program writes paths: as it is natively, on
# drive Z: with backslashes (for the rest of that path too) under Wine.
expand_root() {
    if (($1)); then
        ROOT=$PWD perl -pe 's{\@ROOT\@(\S*)}{my $p = "Z:$ENV{ROOT}$1"; $p =~ tr|/|\\|; $p}ge' "$2"
    else
        ROOT=$PWD perl -pe 's{\@ROOT\@}{$ENV{ROOT}}g' "$2"
    fi
}

# run_e2e_cases LABEL WINDOWS_PATHS CASES PROGRAM...: runs every case of the
# folder CASES with PROGRAM and records LABEL. When PROGRAM is wine-run.sh, a
# case may come with NAME.alongside: a bash script that runs next to the
# program (wine-run.sh --alongside) with the case's output file as its
# argument, to change files under the program or start a second one; and
# NAME.pixels, checked by screen-check against the case's screenshots.
run_e2e_cases() {
    local label=$1 windows_paths=$2 cases=$3 out=build/tmp/$1 start=$SECONDS
    shift 3
    rm -rf "$out" "$E2E_INPUTS"
    mkdir -p "$out" "$E2E_INPUTS" "$TARNWELL_LOGS"
    if grep -qs big.json "$cases"/*.script; then
        { printf '{"big": "'; head -c 270000000 /dev/zero | tr '\0' a; printf '"}\n'; } >"$E2E_INPUTS/big.json"
    fi
    # JSON Lines large enough to be read in pieces on several threads, every
    # thousandth line cut short.
    if grep -qs many.jsonl "$cases"/*.script; then
        seq 300000 | awk '{ print $1 % 1000 ? "{\"id\":" $1 ",\"ok\":true}" : "{\"id\":" $1 "," }' >"$E2E_INPUTS/many.jsonl"
    fi
    local passed=0 failed=0 script name expected status want
    local -a reruns=()
    for script in "$cases"/*.script; do
        name=$(basename "$script" .script)
        expected=$cases/$name.expected
        local -a args=() program=("$@")
        if [[ -f $cases/$name.args ]]; then read -r -a args <"$cases/$name.args"; fi
        if [[ -f $cases/$name.settings ]]; then cp "$cases/$name.settings" "$out/$name.settings"; fi
        if [[ -f $cases/$name.alongside ]]; then
            program=("$1" --alongside "bash $cases/$name.alongside $out/$name.out" "${@:2}")
        fi
        status=0
        "${program[@]}" --test-script "$script" --settings "$out/$name.settings" --test-out "$out/$name.out" \
            "${args[@]}" >"$out/$name.log" 2>&1 || status=$?
        # Wine itself now and then dies of a signal in its own libraries (a
        # glibc "double free", a segmentation fault or a SIGKILL, at process
        # exit with the output complete, a few times in a hundred runs), and
        # rarely (twice in some hundred runs) the program ends before its script
        # could even create the output (the log then says which step of the
        # start failed); such a case runs once more and the retry is reported.
        # The cases of tests/e2e also run natively under the sanitizers, which
        # would show a fault of ours. wine-run.sh reports a time-out as 124.
        local why=
        if ((windows_paths && status >= 128)); then why="Wine's signal $status"; fi
        if ((windows_paths && status != 0 && status < 124)) && [[ ! -e $out/$name.out ]]; then why="no output"; fi
        if [[ -n $why ]]; then
            reruns+=("$name ($why)")
            if [[ -f $cases/$name.settings ]]; then cp "$cases/$name.settings" "$out/$name.settings"; else rm -f "$out/$name.settings"; fi
            # A command alongside waits for lines of this output, which must
            # not be the first run's.
            rm -f "$out/$name.out"
            status=0
            "${program[@]}" --test-script "$script" --settings "$out/$name.settings" --test-out "$out/$name.out" \
                "${args[@]}" >>"$out/$name.log" 2>&1 || status=$?
        fi
        want=0
        if grep -q '^script-error=' "$expected"; then want=2; fi
        expand_root "$windows_paths" "$expected" >"$out/$name.expected"
        if ((status == want)) && cmp -s "$out/$name.expected" "$out/$name.out" &&
            { [[ ! -f $cases/$name.pixels ]] || "$BIN/screen-check" "$cases/$name.pixels" build/screens >>"$out/$name.log"; }; then
            passed=$((passed + 1))
        else
            failed=$((failed + 1))
            echo "--- $label $name: exit status $status (expected $want); output against $expected:" >&2
            diff "$out/$name.expected" "$out/$name.out" 2>&1 | head -n 20 >&2 || true
            tail -n 20 "$out/$name.log" >&2
        fi
    done
    rm -f "$E2E_INPUTS/big.json" "$E2E_INPUTS/many.jsonl"
    record "$label" "$passed" "$failed" "$((SECONDS - start)) s${reruns[*]:+, run again: ${reruns[*]}}"
}

step_e2e() {
    if [[ ! -x $BIN/tarnwell-cli ]]; then
        record e2e 0 1 "tarnwell-cli was not built"
        return 0
    fi
    run_e2e_cases e2e 0 tests/e2e timeout 300 "$BIN/tarnwell-cli"
}

# Built by step_windows.
step_e2e_wine() {
    if [[ ! -f $BIN/tarnwell.exe ]]; then
        record e2e-wine 0 1 "tarnwell.exe was not built"
        return 0
    fi
    run_e2e_cases e2e-wine 1 tests/e2e scripts/wine-run.sh --display --timeout 300 build/bin/tarnwell.exe
}

# run_exe_cases LABEL CASES: the cases of the folder CASES through tarnwell.exe
# only, for what the headless host does not have: watching files (tests/watch)
# and a second instance to hand files to (tests/handoff). Built by step_windows.
run_exe_cases() {
    if [[ ! -f $BIN/tarnwell.exe ]]; then
        record "$1" 0 1 "tarnwell.exe was not built"
        return 0
    fi
    run_e2e_cases "$1" 1 "$2" scripts/wine-run.sh --display --timeout 120 build/bin/tarnwell.exe
}

step_watch() { run_exe_cases watch tests/watch; }
step_handoff() { run_exe_cases handoff tests/handoff; }

# Screenshots checked by pixels: tests/screens/NAME.script run by tarnwell.exe
# under Wine with NAME.settings (when there is one) as its settings file; then
# screen-check (built by step_native) tests NAME.pixels against the
# screenshots under build/screens.
step_screens() {
    if [[ ! -f $BIN/tarnwell.exe || ! -x $BIN/screen-check ]]; then
        record screens 0 1 "tarnwell.exe or screen-check was not built"
        return 0
    fi
    local out=build/tmp/screens passed=0 failed=0 script name status
    rm -rf "$out"
    mkdir -p "$out"
    for script in tests/screens/*.script; do
        name=$(basename "$script" .script)
        if [[ -f tests/screens/$name.settings ]]; then cp "tests/screens/$name.settings" "$out/$name.settings"; fi
        local -a args=()
        if [[ -f tests/screens/$name.args ]]; then read -r -a args <"tests/screens/$name.args"; fi
        status=0
        scripts/wine-run.sh --display --timeout 300 build/bin/tarnwell.exe --test-script "$script" \
            --settings "$out/$name.settings" --test-out "$out/$name.out" "${args[@]}" >"$out/$name.log" 2>&1 || status=$?
        if ((status == 0)) && "$BIN/screen-check" "tests/screens/$name.pixels" build/screens >>"$out/$name.log"; then
            passed=$((passed + 1))
        else
            failed=$((failed + 1))
            echo "--- screens $name: exit status $status; the log:" >&2
            tail -n 20 "$out/$name.log" >&2
        fi
    done
    record screens "$passed" "$failed"
}

# Each target runs for FUZZ_SECONDS, JOBS at a time, on its own corpus under
# build/fuzz-corpus (seeded from tests/fuzz/corpus/NAME when that exists).
# Crashing inputs land in build/fuzz-artifacts.
step_fuzz() {
    build_preset fuzz || return 0
    local corpus_root=$TARNWELL_BUILD/fuzz-corpus artifacts=$TARNWELL_BUILD/fuzz-artifacts
    mkdir -p "$artifacts" "$TARNWELL_LOGS"
    local -a targets=()
    local target
    for target in "$TARNWELL_BUILD"/fuzz/fuzzers/*; do
        if [[ -x $target ]]; then targets+=("$target"); fi
    done
    if ((${#targets[@]} == 0)); then
        record fuzz 0 1 "no fuzz targets were built"
        return 0
    fi
    local -a names=()
    local i name
    for ((i = 0; i < ${#targets[@]}; i++)); do
        target=${targets[i]}
        name=$(basename "$target")
        names+=("$name")
        mkdir -p "$corpus_root/$name"
        local -a corpora=("$corpus_root/$name")
        if [[ -d tests/fuzz/corpus/$name ]]; then corpora+=("tests/fuzz/corpus/$name"); fi
        timeout --kill-after=10 $((FUZZ_SECONDS + 120)) "$target" \
            -max_total_time="$FUZZ_SECONDS" -timeout=30 -print_final_stats=1 \
            -artifact_prefix="$artifacts/$name-" "${corpora[@]}" \
            >"$TARNWELL_LOGS/fuzz-$name.log" 2>&1 &
        fuzz_pids+=($!)
        if ((${#fuzz_pids[@]} >= JOBS)); then
            collect_fuzz "${names[0]}" "${fuzz_pids[0]}"
            names=("${names[@]:1}")
            fuzz_pids=("${fuzz_pids[@]:1}")
        fi
    done
    while ((${#fuzz_pids[@]})); do
        collect_fuzz "${names[0]}" "${fuzz_pids[0]}"
        names=("${names[@]:1}")
        fuzz_pids=("${fuzz_pids[@]:1}")
    done
}

collect_fuzz() {
    local name=$1 pid=$2 status=0 log=$TARNWELL_LOGS/fuzz-$1.log
    wait "$pid" || status=$?
    if ((status == 0)); then
        local runs
        runs=$(awk '/^stat::number_of_executed_units:/ { print $2 }' "$log")
        record "fuzz $name" 1 0 "${runs:-?} runs"
    else
        record "fuzz $name" 0 1 "exit status $status"
        echo "--- fuzz $name: last lines of $log" >&2
        tail -n 40 "$log" >&2
    fi
}

STEPS=(step_native step_e2e step_tsan step_windows step_e2e_wine step_watch step_handoff step_screens step_fuzz)
# Some steps alone, e.g. TARNWELL_STEPS="step_windows step_handoff" (the later
# steps use what step_native and step_windows built).
if [[ -n ${TARNWELL_STEPS:-} ]]; then read -r -a STEPS <<<"$TARNWELL_STEPS"; fi

if ! "$TARNWELL_ROOT/scripts/deps.sh"; then
    record deps 0 1
else
    for step in "${STEPS[@]}"; do
        "$step" || record "$step" 0 1 "the step stopped early"
    done
fi
echo "$total_passed passed, $total_failed failed"
((total_failed == 0))
