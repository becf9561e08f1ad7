# Sourced by the bench scripts. best_ms CMD: the whole command's wall time in
# milliseconds, best of $runs runs.
best_ms() {
  local best="" t0 t1 ms i
  for ((i = 0; i < runs; i++)); do
    t0=$(date +%s%N)
    bash -c "$1"
    t1=$(date +%s%N)
    ms=$(( (t1 - t0) / 1000000 ))
    if [[ -z "$best" || $ms -lt $best ]]; then best=$ms; fi
  done
  echo "$best"
}
