#!/usr/bin/env bash
# Installs what is missing, builds the editor and starts it from the repository
# root, where it finds shaders/ and data/.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target brinora-editor
exec build/brinora-editor "$@"
