# Sourced by the scripts that run the sornik executable: installs what is
# missing and builds sornik (warnings as errors) into $build_dir, which is
# build/ unless SORNIK_BUILD_DIR names another folder. The array
# plain_build_options, when set, adds options of its own.
cd "$(dirname "${BASH_SOURCE[0]}")/.."
bash scripts/install-deps.sh
build_dir=${SORNIK_BUILD_DIR:-build}
cmake -S . -B "$build_dir" -G Ninja -DSORNIK_WERROR=ON ${plain_build_options[@]+"${plain_build_options[@]}"} >/dev/null
cmake --build "$build_dir" --target sornik >/dev/null
