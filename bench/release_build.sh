# Sourced by the timing scripts: builds sornik in release mode into $build
# (build-release) and makes a scratch folder $work that is removed on exit.
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/build-folder.sh"
build=build-release
configure_build "$build" -DCMAKE_BUILD_TYPE=Release -DSORNIK_WERROR=OFF
cmake --build "$build" --target sornik >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
