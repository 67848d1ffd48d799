#!/usr/bin/env bash
# Builds Quorvel, generates its default data sets into run/ when needed and starts it there.
set -euo pipefail
cd "$(dirname "$0")"
source tools/setup-common.sh
ensure_packages
configure build
# Only what runs here; ./test.sh builds the rest.
cmake --build build --target quorvel quorvel-datagen quorvel-batch
mkdir -p run
if [ ! -f run/.generated ] || [ build/quorvel-datagen -nt run/.generated ]; then
    echo "Generating the default data sets into run/ ..."
    build/quorvel-datagen run
    touch run/.generated
fi
cd run
[ -n "${DISPLAY:-}" ] || echo "No display is set: running under a virtual X server."
with_display ../build/quorvel
