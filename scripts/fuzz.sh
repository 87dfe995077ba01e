#!/usr/bin/env bash
# fuzz.sh BUILD_DIR SECONDS: runs every libFuzzer target of BUILD_DIR at once for SECONDS each, starting from
# copies of its seed corpus, and fails when any target finds a crash (the input is kept in fuzz/findings).
set -euo pipefail
cd "$(dirname "$0")/.."
build=$1
seconds=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p fuzz/findings
pids=()
names=()
for target in "$build"/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  name=${target##*/fuzz_}
  mkdir -p "$work/$name"
  [ -d "fuzz/corpus/$name" ] && cp -r "fuzz/corpus/$name/." "$work/$name/"
  "$target" "$work/$name" -max_total_time="$seconds" -rss_limit_mb=4096 -timeout=20 \
    -artifact_prefix="fuzz/findings/$name-" >"$work/$name.log" 2>&1 &
  pids+=($!)
  names+=("$name")
done
status=0
for i in "${!pids[@]}"; do
  if wait "${pids[$i]}"; then
    echo "fuzz ${names[$i]}: $(grep -Eo "Done [0-9]+ runs in [0-9]+ second" "$work/${names[$i]}.log" | tail -n 1)"
  else
    echo "fuzz ${names[$i]}: FAILED"
    tail -n 60 "$work/${names[$i]}.log"
    status=1
  fi
done
[ ${#pids[@]} -gt 0 ] || echo "fuzz: no targets"
exit $status
