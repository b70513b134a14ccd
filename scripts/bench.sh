#!/usr/bin/env bash
# The statistic record writer's benchmark (not a test): builds it optimised
# in build-bench/ and runs it. Any arguments go to the benchmark, e.g.
#   bash scripts/bench.sh                       1,000,000 records, Oracle form
#   bash scripts/bench.sh --kind Corva --per-hour 5000 --hours 24
#   bash scripts/bench.sh --release 620 --passes 5
# It prints records per second, bytes per second and the peak resident
# memory of the conversion next to the size of the table lines it reads.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-bench -j "$(nproc)" --target zmostati_statrec_bench >/dev/null
exec build-bench/bin/zmostati_statrec_bench "$@"
