#!/usr/bin/env bash
# Builds Quorvel and runs every test, then the core tests again under the address and
# undefined-behaviour sanitizers. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")"
source tools/setup-common.sh
ensure_packages

# The numerical core, the scene geometry and the quiz's question bank stay free of widgets
# and GL.
windowless="src/exam/questionBank.* src/exam/normalisedPosition.h"
if grep -rnE '#include <(QtWidgets|QtGui|QOpenGL|GL/)' src/common src/data src/tracing src/critpnt \
    src/lic src/ftle src/netcdf src/scene $windowless; then
    echo "test.sh: the numerical core must not include widget or GL headers" >&2
    exit 1
fi

configure_and_build build
with_display ctest --test-dir build --output-on-failure -j2

configure_and_build build-asan -DQUORVEL_GUI=OFF -DQUORVEL_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
ctest --test-dir build-asan --output-on-failure -j2
