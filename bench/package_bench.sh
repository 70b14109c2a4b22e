#!/usr/bin/env bash
# ReadPackageEntry on raw and LZMA packages of 1 KiB, 1 MiB and 32 MiB of
# mixed data, beside `7zz e -so` of the same archive: milliseconds per read
# (the reader timed inside its process over N reads; 7zz as whole processes
# over N runs), the ratio to 7zz, and peak memory (maximum resident set of
# one run, GNU time).
set -euo pipefail
bench=$1   # the package_bench program
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$bench" make "$work"

peak() { { /usr/bin/time -f "PEAK %M" "$@" >/dev/null; } 2>&1 | awk '/^PEAK/ { print $2 }'; }
wall_ms() {  # average milliseconds of N runs of the command
  local n=$1
  shift
  local start end
  start=$(date +%s%N)
  for _ in $(seq "$n"); do "$@" >/dev/null; done
  end=$(date +%s%N)
  awk -v a="$start" -v b="$end" -v n="$n" 'BEGIN { printf "%.2f", (b - a) / 1e6 / n }'
}

printf '%-10s %11s %12s %11s %12s %7s\n' package reader_ms reader_peak 7zz_ms 7zz_peak ratio
for size in 1k 1m 32m; do
  n=20
  [ "$size" = 32m ] && n=3
  raw_ms=$("$bench" read "$work/raw_$size.scr" "$n")
  printf '%-10s %11s %11sK %11s %12s %7s\n' "raw_$size" "$raw_ms" "$(peak "$bench" read "$work/raw_$size.scr" 1)" - - -
  lz_ms=$("$bench" read "$work/lzma_$size.scr" "$n")
  z_ms=$(wall_ms "$n" 7zz e -so "$work/lzma_$size.7z")
  ratio=$(awk -v a="$lz_ms" -v b="$z_ms" 'BEGIN { printf "%.2f", a / b }')
  printf '%-10s %11s %11sK %11s %11sK %7s\n' "lzma_$size" "$lz_ms" "$(peak "$bench" read "$work/lzma_$size.scr" 1)" \
    "$z_ms" "$(peak 7zz e -so "$work/lzma_$size.7z")" "$ratio"
done
echo "(reader: in-process time per read; 7zz: whole process per run, start-up included)"
