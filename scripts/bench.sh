#!/usr/bin/env bash
# The benchmark command: builds the release preset and runs every benchmark,
# each comparison side by side in one run, and prints one report (kept in
# build/bench/report.txt). Not part of the test command.
#
# Needs the shared corpus (../shared/bench-data, or TARNWELL_SHARED_DIR) and
# about 8 GB of memory for the 1 GB documents. Takes a few minutes.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
cd "$TARNWELL_ROOT"

SHARED=${TARNWELL_SHARED_DIR:-$(cd "$TARNWELL_ROOT/.." && pwd)/shared}
DATA=$SHARED/bench-data
BIN=$TARNWELL_BUILD/release/bin
OUT=$TARNWELL_BUILD/bench
[[ -d $DATA ]] || die "no benchmark corpus at $DATA (set TARNWELL_SHARED_DIR)"

"$TARNWELL_ROOT/scripts/deps.sh"
run_logged bench-build cmake --preset release
run_logged bench-build cmake --build --preset release -j "${TARNWELL_JOBS:-2}"
mkdir -p "$OUT"

machine() {
    echo "## Machine"
    echo
    echo "- CPU: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//'), $(nproc) cores"
    echo "- vector features: $(grep -m1 '^flags' /proc/cpuinfo | tr ' ' '\n' | grep -xE 'sse2|avx|avx2|bmi1|bmi2|avx512f|avx512bw' | tr '\n' ' ')"
    echo "- memory: $(awk '/MemTotal/ { printf "%.1f GB", $2 / 1048576 }' /proc/meminfo)"
    echo "- load average at the start: $(cut -d' ' -f1-3 /proc/loadavg)"
    echo "- commit: $(git rev-parse --short HEAD 2>/dev/null || echo unknown)"
    echo
}

load() {
    echo "## Load: MB/s, median of the repetitions, and Tarnwell's ratio to each parser"
    echo
    echo '```'
    "$BIN/load_bench" --data "$DATA" --reps 15 \
        --generate api:100M,numbers:100M,strings:100M,deep:100M,wide:100M,jsonl:100M,api:1G,jsonl:1G
    echo '```'
    echo
}

# One line per file: the Document's heap (text included) against
# text + 20 x nodes + 4 x lines, and the peak resident memory of a process
# that read the file and loaded it (the 1 GB JSON Lines file on one thread
# and on two, which read it in pieces and join them).
memory() {
    echo "## Memory of a loaded Document"
    echo
    "$BIN/generate" --shape api --size 1G -o "$OUT/api-1g.json"
    "$BIN/generate" --shape numbers --size 100M -o "$OUT/numbers-100m.json"
    "$BIN/generate" --shape jsonl --size 1G -o "$OUT/jsonl-1g.jsonl"
    echo "| file | MB | nodes | lines | Document MB | text + 20 n + 4 l, MB | ratio | peak RSS MB |"
    echo "|---|---|---|---|---|---|---|---|"
    local file threads size nodes lines held formula peak
    for file in "$DATA"/*.json "$DATA"/*.ndjson "$OUT/numbers-100m.json" "$OUT/api-1g.json" \
        "$OUT/jsonl-1g.jsonl 1" "$OUT/jsonl-1g.jsonl 2"; do
        read -r file threads <<<"$file"
        read -r size nodes lines held formula peak < <("$BIN/load_bench" --memory "$file" "${threads:-1}")
        awk -v f="$(basename "$file")${threads:+, $threads thread(s)}" -v s="$size" -v n="$nodes" -v l="$lines" \
            -v h="$held" -v m="$formula" -v p="$peak" \
            'BEGIN { printf "| %s | %.1f | %.0f | %.0f | %.1f | %.1f | %.3f | %.1f |\n",
                f, s / 1e6, n, l, h / 1e6, m / 1e6, h / m, p / 1e6 }'
    done
    rm -f "$OUT/api-1g.json" "$OUT/numbers-100m.json" "$OUT/jsonl-1g.jsonl"
    echo
}

rows_and_search() {
    echo "## Row model and plain search against grep -F -c"
    echo
    echo '```'
    "$BIN/rows_search_bench" --tmp "$OUT"
    echo '```'
    echo
}

text_view() {
    echo "## Text view"
    echo
    echo '```'
    "$BIN/text_view_bench"
    echo '```'
    echo
}

{
    machine
    load
    memory
    rows_and_search
    text_view
} | tee "$OUT/report.txt"
