#!/usr/bin/env bash
# Runs every test: installs what is missing, cross-compiles both Windows widths,
# then builds and tests the ThreadSanitizer, the AddressSanitizer+UBSan and the
# plain native tree. Ends with ctest's summary of the native tree.
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=${JOBS:-$(nproc)}
scripts/install-deps.sh

section() { printf '\n=== %s ===\n' "$*"; }

for preset in mingw-i686 mingw-x86_64; do
  section "cross build: $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
done

for preset in tsan asan native; do
  section "build and test: $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  ctest --preset "$preset" -j "$jobs"
done
