#!/usr/bin/env bash
# The main job: builds the native tree and runs the session tool, a command-line
# ASIO host that loads the driver library, streams a test signal through a virtual
# unit's loopback and reports what it measured. Extra arguments go to the tool
# (--help lists them).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset native >/dev/null
cmake --build --preset native -j "$(nproc)" >/dev/null
exec build/native/tools/session/mxsession --driver build/native/asio/Mxsb4410.so "$@"
