# Sourced by the timing scripts: best() prints the best wall time of 5 runs of "$@" in
# seconds, the output thrown away.
best() {
  local best=999
  for _ in 1 2 3 4 5; do
    local start end t
    start=$(date +%s.%N); "$@" > /dev/null; end=$(date +%s.%N)
    t=$(echo "$end - $start" | bc -l)
    if (( $(echo "$t < $best" | bc -l) )); then best=$t; fi
  done
  echo "$best"
}
