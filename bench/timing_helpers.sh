# Shared by the timing scripts of bench/ (sourced, not run).

# require_built TOOL...: stops with status 2 when a program of the build is missing.
require_built() {
  local tool
  for tool in "$@"; do
    [ -x "$tool" ] || { echo "missing $tool: build first" >&2; exit 2; }
  done
}

# scratch_root: where large files and WAVs go: OUT_ROOT, else /dev/shm when it exists (so that
# the disk does not come into it), else the temporary folder.
scratch_root() {
  if [ -n "${OUT_ROOT:-}" ]; then echo "$OUT_ROOT"
  elif [ -d /dev/shm ]; then echo /dev/shm
  else echo "${TMPDIR:-/tmp}"; fi
}

# median NUMBER...: the middle one (the lower middle of an even count).
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# seconds CMD...: the wall time of one run of CMD, its output thrown away.
seconds() {
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null 2>&1
  end=$(date +%s.%N)
  echo "$end - $start" | bc -l
}

# least A B: the smaller of two times.
least() { echo "if ($1 < $2) $1 else $2" | bc -l; }

# best RUNS CMD...: the least wall time of RUNS runs of CMD.
best() {
  local n=$1 b=999 t
  shift
  for _ in $(seq "$n"); do
    t=$(seconds "$@")
    b=$(least "$t" "$b")
  done
  echo "$b"
}
