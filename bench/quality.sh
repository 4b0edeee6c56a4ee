#!/usr/bin/env bash
# Encoder quality on the reference signals: makes them (../shared/quality/make-signals.sh,
# or $SORVANE_QUALITY_DIR), then measures the default path and the high-quality path (--hq)
# with measure.py (FFmpeg decodes what we wrote; SNR and segmental SNR against the source
# converted by libsoxr) and prints both tables.
# usage: bench/quality.sh [BUILD_DIR] [SIGNAL_DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build_dir=$(cd "${1:-$here/build}" && pwd)
quality=${SORVANE_QUALITY_DIR:-$here/../shared/quality}
signals=${2:-$(mktemp -d)}
cli="$build_dir/src/cli/sorvane-cli"
[ -f "$signals/speech_st.wav" ] || "$quality/make-signals.sh" "$signals"
# measure.py needs Debian's python3 with numpy.
if ! /usr/bin/python3 -c 'import numpy' 2>/dev/null; then
  sudo_cmd=(); [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq python3-numpy >/dev/null
fi
for path in default hq; do
  flag=""
  [ "$path" = hq ] && flag="--hq"
  echo "== $path"
  /usr/bin/python3 "$quality/measure.py" "$signals" \
    "'$cli' new {out} --force && '$cli' append {out} {in} --quality {quality} --yes $flag"
done
