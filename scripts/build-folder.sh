# Sourced by every script that builds: `configure_build FOLDER [option]...`
# configures FOLDER, under the repository root, naming every option of the
# project, so that what another configuration left in the folder's cache counts
# for nothing; the options given after the folder override the defaults here.
# Every script builds in a folder of its own:
#   build          scripts/test.sh (and the scripts that read its program)
#   build-asan     scripts/test.sh --sanitize
#   build-example  scripts/example.sh
#   build-stress   scripts/stress.sh
#   build-valgrind scripts/valgrind-e2e.sh
#   build-fuzz     scripts/fuzz-smoke.sh
#   build-tidy     scripts/tidy.sh
#   build-package  scripts/package-test.sh
#   build-real-code scripts/cmode-real-code.sh, scripts/cmode-project-check.sh, scripts/gcc-cpp-suite.sh
#   build-release  the timing scripts under bench/
cd "$(dirname "${BASH_SOURCE[0]}")/.."

configure_build() {
  local folder=$1
  shift
  cmake -S . -B "$folder" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON \
    -DSORNIK_DEVELOPMENT=OFF -DSORNIK_WERROR=ON -DSORNIK_SANITIZE=OFF -DSORNIK_BENCH=OFF -DSORNIK_FUZZ=OFF \
    -DSORNIK_STATIC=ON "$@" >/dev/null
}
