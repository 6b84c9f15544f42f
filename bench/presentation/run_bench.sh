#!/usr/bin/env bash
# Runs the full-screen view benchmark in the recorded scenarios.
#
#   bench/presentation/run_bench.sh [build-dir] [seconds]
#
# Each line: the main window alone, then Form2 at size 250 with the level changing every two
# seconds, then every polling cycle (300 ms), then Form2 at 500; last, Form2 at 250 with the
# window polling the modem simulator, and the same with the aiming tone on and the signal history
# open. Set QT_QPA_PLATFORM=xcb under xvfb-run to measure drawing
# to an X server instead of offscreen.
set -euo pipefail
build=${1:-build}
seconds=${2:-20}
bench="$build/bench/presentation/fullscreen_bench"
[ -x "$bench" ] || { echo "build the target fullscreen_bench first" >&2; exit 1; }

"$bench" --seconds "$seconds" --no-view
"$bench" --seconds "$seconds" --size 250 --change-ms 2000
"$bench" --seconds "$seconds" --size 250 --change-ms 300
"$bench" --seconds "$seconds" --size 500 --change-ms 300
"$bench" --seconds "$seconds" --size 250 --change-ms 2000 --modem "$build/tools/modemsim/modemsim"
"$bench" --seconds "$seconds" --size 250 --change-ms 2000 --modem "$build/tools/modemsim/modemsim" --aids
