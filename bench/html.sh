#!/usr/bin/env bash
# The HTML tools against their sed and grep peers, on a ~10 MiB page and on
# pages with 50,000 and 100,000 links (the analyzer must stay linear):
#   tag removal vs sed 's/<[^>]*>//g'
#   minifier    vs sed -z 's/\r\n/ /g; s/  //g; s/\t\t//g'
#   analyzer    vs grep -o -i '<a[[:space:]]' | wc -l (counting the anchors),
#               and its window (qt_html) filling both lists offscreen
# Each result is checked against the peer's. Usage: html.sh [BIN_DIR]
# (default: builds bench_html in build-bench). QL_BENCH_RUNS: best of (3).
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
out="$here/out"
runs=${QL_BENCH_RUNS:-3}
mkdir -p "$out"
bin=${1:-}
if [[ -z "$bin" ]]; then
  cmake -S "$root" -B "$root/build-bench" -DCMAKE_BUILD_TYPE=Release -DQUILLORA_BUILD_TESTS=OFF >"$out/cmake-html.log"
  cmake --build "$root/build-bench" -j2 --target bench_html qt_html >>"$out/cmake-html.log"
  bin="$root/build-bench/bench"
fi

source "$here/timing.sh"
op_ms() { sed -n 's/.*op_ms=\([0-9.]*\).*/\1/p' "$1"; }
ratio() { awk -v p="$1" -v o="$2" 'BEGIN { printf "%.2fx", (o > 0 ? p / o : 0) }'; }

failures=0
page="$out/page_10mb.htm"
[[ -s "$page" ]] || "$bin/bench_html" page "$page" 10
mib=$(awk -v b="$(stat -c %s "$page")" 'BEGIN { printf "%.1f", b / 1048576 }')
printf '\n%-30s %10s %10s %10s %10s  %s\n' "HTML tools ($mib MiB page)" "ours" "ours op" "peer" "peer/ours" "check"

ours=$(best_ms "'$bin/bench_html' remove '$page' '$out/remove.ours' 2>'$out/remove.time'")
peer=$(best_ms "LC_ALL=C sed 's/<[^>]*>//g' '$page' >'$out/remove.sed'")
if cmp -s "$out/remove.ours" "$out/remove.sed"; then check="same bytes as sed"; else check="DIFFERS from sed"; failures=$((failures + 1)); fi
printf '%-30s %8sms %8sms %8sms %10s  %s\n' "tag removal vs sed" "$ours" "$(op_ms "$out/remove.time")" "$peer" "$(ratio "$peer" "$ours")" "$check"

ours=$(best_ms "'$bin/bench_html' minify '$page' '$out/minify.ours' 2>'$out/minify.time'")
peer=$(best_ms "LC_ALL=C sed -z 's/\\r\\n/ /g; s/  //g; s/\\t\\t//g' '$page' >'$out/minify.sed'")
if cmp -s "$out/minify.ours" "$out/minify.sed"; then check="same bytes as sed -z"; else check="DIFFERS from sed -z"; failures=$((failures + 1)); fi
printf '%-30s %8sms %8sms %8sms %10s  %s\n' "minifier vs sed -z" "$ours" "$(op_ms "$out/minify.time")" "$peer" "$(ratio "$peer" "$ours")" "$check"

declare -A analyze_op
for n in 50000 100000; do
  links="$out/links_$n.htm"
  [[ -s "$links" ]] || "$bin/bench_html" links "$links" "$n"
  ours=$(best_ms "'$bin/bench_html' analyze '$links' >'$out/analyze.ours' 2>'$out/analyze.time'")
  peer=$(best_ms "LC_ALL=C grep -o -i '<a[[:space:]]' '$links' | wc -l >'$out/analyze.grep'")
  count=$(tr -d ' \n' <"$out/analyze.ours")
  peer_count=$(tr -d ' \n' <"$out/analyze.grep")
  if [[ "$count" == "$peer_count" && "$count" == "$n" ]]; then check="$count links = grep"; else check="$count links, grep $peer_count"; failures=$((failures + 1)); fi
  analyze_op[$n]=$(op_ms "$out/analyze.time")
  printf '%-30s %8sms %8sms %8sms %10s  %s\n' "analyzer, $n links vs grep" "$ours" "${analyze_op[$n]}" "$peer" "$(ratio "$peer" "$ours")" "$check"
done
growth=$(awk -v a="${analyze_op[100000]}" -v b="${analyze_op[50000]}" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }')
echo "analyzer: twice the links take ${growth}x the time (linear: about 2)"
if [[ -x "$bin/qt_html" ]]; then
  for n in 50000 100000; do
    line=$("$bin/qt_html" analyze "$out/links_$n.htm" 2>/dev/null) || { line=""; failures=$((failures + 1)); }
    echo "analyzer window, $n links: $line"
  done
fi
if ! awk -v g="$growth" 'BEGIN { exit !(g < 3.0) }'; then echo "analyzer grows faster than linear" >&2; failures=$((failures + 1)); fi
echo "ours/peer are whole-process wall times (best of $runs); 'ours op' is the routine alone. LC_ALL=C for sed and grep."
rm -f "$out"/remove.* "$out"/minify.* "$out"/analyze.*
if ((failures > 0)); then
  echo "$failures HTML result check(s) failed" >&2
  exit 1
fi
