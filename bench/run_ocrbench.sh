#!/bin/sh
# Scores `quorvale ocr` on the screen-text corpus.
#   bench/run_ocrbench.sh [CORPUS_DIR] [score.py options, e.g. --out result.json]
# QUORVALE_BIN picks another build (default: build/bin/quorvale of this checkout).
set -eu
repo=$(cd "$(dirname "$0")/.." && pwd)
ocrbench=$(cd "$repo/../shared/ocrbench" && pwd)
corpus=$ocrbench/corpus
if [ $# -gt 0 ] && [ "${1#-}" = "$1" ]; then
    corpus=$1
    shift
fi
bin=${QUORVALE_BIN:-$repo/build/bin/quorvale}
[ -x "$bin" ] || { echo "run_ocrbench: no executable at $bin (build first)" >&2; exit 2; }
exec python3 "$ocrbench/score.py" --cmd "'$bin' ocr --lang {tlangs} {img}" "$@" "$corpus"
