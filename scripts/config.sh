#!/usr/bin/env bash
# Opens the configurator zmoconfig on the configuration the main job
# (scripts/demo.sh) set up in ./demo/: its registry store and its BinDir.
# Installs what the build needs, runs the main job first when ./demo/ is not
# there, builds and installs zmoconfig into the demo's BinDir beside the
# other programs, and starts it on the user's display. Arguments are passed
# on (-d skips the splash's wait).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "config: no display (DISPLAY is not set); run it in a desktop session" >&2
  exit 1
fi

bash scripts/setup.sh

demo=$root/demo
bindir=$demo/bin/
if [ ! -d "$demo/registry" ]; then
  echo "config: no configuration in ./demo yet; running scripts/demo.sh first"
  bash scripts/demo.sh
fi

build=${ZMO_DEMO_BUILD:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$build" -j "$(nproc)"
cmake --install "$build" --prefix "$bindir" >/dev/null

export ZMO_REGISTRY=$demo/registry
exec "${bindir}zmoconfig" "$@"
