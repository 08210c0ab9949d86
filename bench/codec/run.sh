#!/usr/bin/env bash
# Codec library benchmarks; the arguments (--quick, --update) go to the like-for-like comparison.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bash "$here/compare_run.sh" "$@"
bash "$here/step_run.sh"
bash "$here/load_run.sh"
bash "$here/subtitle_run.sh"
