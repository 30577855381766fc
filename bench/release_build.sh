# Sourced by the timing scripts: builds sornik in release mode into $build
# (BUILD_DIR, default build-release) and makes a scratch folder $work that is
# removed on exit.
cd "$(dirname "${BASH_SOURCE[0]}")/.."
build=${BUILD_DIR:-build-release}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" --target sornik >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
