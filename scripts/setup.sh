#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need. Does nothing when
# they are all present, so every README command can call it unconditionally.
set -euo pipefail

packages=(build-essential cmake libgtest-dev libgmock-dev libbenchmark-dev tzdata postgresql libpq-dev
  # The configurator: Qt 6 Widgets, a font to draw its texts, and a real X
  # server with the tools its display test looks and types with.
  qt6-base-dev fonts-dejavu-core xvfb xauth x11-utils xdotool
  # The layout check.
  clang-format)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "setup: installing ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq "${missing[@]}"
