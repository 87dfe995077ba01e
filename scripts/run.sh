#!/usr/bin/env bash
# Installs what is missing, builds the program (Release) and starts it from ~/Quillnote, a folder the build
# never touches: the data, backup, settings and session files live beside the program there.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DQN_TESTS=OFF >/dev/null
cmake --build build/release -j "$(nproc)"
prefix=${QUILLNOTE_HOME:-$HOME/Quillnote}
cmake --install build/release --prefix "$prefix" >/dev/null
echo "Starting $prefix/QuillnotePortable"
exec "$prefix/QuillnotePortable"
