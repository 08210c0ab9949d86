#!/usr/bin/env bash
# Codec library benchmarks.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bash "$here/probe_run.sh"
bash "$here/playback_run.sh"
bash "$here/step_run.sh"
