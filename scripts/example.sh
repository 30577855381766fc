#!/usr/bin/env bash
# Builds sornik and runs it on the shipped example.
set -euo pipefail
build_dir=build-example
source "$(dirname "$0")/plain-build.sh"
"$build_dir/sornik" -d examples/registers.h examples/uart.c
