#!/usr/bin/env bash
# Builds the release preset and writes the Debian package
# dist/zrk_<version>_<arch>.deb (dependencies found by dpkg-shlibdeps).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)"
mkdir -p dist
rm -f dist/zrk_*.deb
(cd build/release && cpack -G DEB -B "$PWD/../../dist" >/dev/null)
rm -rf dist/_CPack_Packages
ls dist/zrk_*.deb
