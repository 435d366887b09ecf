#!/bin/sh
# The converter's speed next to cmark's on the same pages: 200 generated
# pages of about 2 KB (as BM_ConvertPages converts them), turned into UTF-8
# once for cmark; both from warm caches, 20 rounds.
# Usage: bench/cmark-compare.sh [BUILD_DIR]   (needs: apt-get install cmark)
set -eu
build=${1:-build}
command -v cmark >/dev/null || { echo "cmark is not installed (apt-get install cmark)" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bin/sheaf-genproject" "$work" pages 200 --pages 2048 >/dev/null
mkdir "$work/utf8"
for f in "$work"/pages/*.txt; do
    iconv -f CP932 -t UTF-8 "$f" > "$work/utf8/$(basename "$f")"
done
bytes=$(cat "$work"/utf8/*.txt | wc -c)
start=$(date +%s%N)
i=0
while [ $i -lt 20 ]; do
    cmark "$work"/utf8/*.txt > /dev/null
    i=$((i + 1))
done
end=$(date +%s%N)
echo "cmark: $((bytes * 20 * 1000 / (end - start))) MB/s ($bytes bytes of UTF-8, 20 rounds)"
"$build/bin/bench_converter" --benchmark_filter=BM_ConvertPages --benchmark_repetitions=5 \
    --benchmark_report_aggregates_only=true 2>/dev/null | grep median
