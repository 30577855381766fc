#!/usr/bin/env bash
# Builds sornik and runs it on the shipped example.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target sornik >/dev/null
build/sornik -d examples/registers.h examples/uart.c
