#!/usr/bin/env bash
# Builds tallmoor and runs a real logon on the bundled example in this
# terminal. The example is copied to a temporary directory first, so the
# repository stays as it is; the program ends by itself after the report.
#   examples/program   the program directory with TallMoor.dat
#   examples/share     the logon share \\fileserver\logon (TALLMOOR_UNC_ROOT)
#   examples/drives    drive C: (TALLMOOR_DRIVES)
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh base
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build --target tallmoor

demo=$(mktemp -d "${TMPDIR:-/tmp}/tallmoor-demo-XXXXXX")
cp -R examples/. "$demo/"
cp build/src/app/tallmoor "$demo/program/"
export TALLMOOR_UNC_ROOT="$demo/share"
export TALLMOOR_DRIVES="$demo/drives"

cd "$demo"
"$demo/program/tallmoor"

echo
echo "Demo-Verzeichnis: $demo"
echo "Laufwerk C: nachher:"
(cd "$demo/drives/c" && find . -type f | sort | sed 's|^\./|   c:\\|; s|/|\\|g')
