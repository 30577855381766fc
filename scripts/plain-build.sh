# Sourced by the scripts that run the sornik executable: installs what is
# missing and builds only sornik (warnings as errors) into $build_dir, which
# the sourcing script sets to its own folder first. The array
# plain_build_options, when set, adds options of its own.
source "$(dirname "${BASH_SOURCE[0]}")/build-folder.sh"
bash scripts/install-deps.sh
configure_build "$build_dir" ${plain_build_options[@]+"${plain_build_options[@]}"}
cmake --build "$build_dir" --target sornik >/dev/null
