#!/usr/bin/env bash
# Builds the Debian package of sornik and checks what it installs: the package
# is unpacked into a temporary root with dpkg-deb -x, as dpkg -i would place
# it, and the installed sornik must convert the shipped example exactly as the
# program built in the same tree does. `cmake --install` is checked the same
# way. lintian must find no error in the package.
set -euo pipefail
source "$(dirname "$0")/build-folder.sh"
# lintian checks the package against Debian policy.
bash scripts/install-deps.sh lintian
build_dir=build-package

fail() {
  echo "package-test: $*" >&2
  exit 1
}

configure_build "$build_dir" -DCMAKE_BUILD_TYPE=Release -DSORNIK_WERROR=OFF
cmake --build "$build_dir" >/dev/null
rm -f "$build_dir"/sornik_*.deb
(cd "$build_dir" && cpack -G DEB >/dev/null 2>&1) || fail "cpack failed"
packages=("$build_dir"/sornik_*.deb)
[[ -f ${packages[0]} ]] || fail "cpack made no package"
package=${packages[0]}

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT

# Runs an installed sornik on the shipped example and compares its output
# with that of the freshly built one.
check_installed() {
  local installed=$1 manual=$2 what=$3
  [[ -x $installed ]] || fail "$what: no $installed"
  [[ -f $manual ]] || fail "$what: no $manual"
  "$build_dir/sornik" -d examples/registers.h examples/uart.c > "$root/expected"
  "$installed" -d examples/registers.h examples/uart.c > "$root/actual" ||
    fail "$what: the installed sornik failed"
  cmp -s "$root/expected" "$root/actual" || fail "$what: the installed sornik prints other output"
  cmp -s <(gzip -9n -c doc/sornik.1) "$manual" || fail "$what: $manual is not doc/sornik.1 under gzip -9n"
  if command -v groff >/dev/null; then
    [[ -n $(gzip -dc "$manual" | groff -man -Tutf8 2>/dev/null) ]] || fail "$what: the manual page does not format"
  fi
}

[[ $(dpkg-deb --field "$package" Package) == sornik ]] || fail "$package: not a sornik package"
dpkg-deb -x "$package" "$root/deb"
check_installed "$root/deb/usr/bin/sornik" "$root/deb/usr/share/man/man1/sornik.1.gz" "$package"

cmake --install "$build_dir" --prefix "$root/prefix" >/dev/null
check_installed "$root/prefix/bin/sornik" "$root/prefix/share/man/man1/sornik.1.gz" "cmake --install"

# Errors fail the check; warnings and notes are shown.
lintian_report=$(lintian "$package" 2>&1 | grep -v 'running with root privileges' || true)
[[ -n $lintian_report ]] && echo "$lintian_report"
grep -q '^E:' <<<"$lintian_report" && fail "lintian found errors in $package"

echo "package-test: $package installs bin/sornik, share/man/man1/sornik.1.gz and share/doc/sornik"
dpkg-deb --contents "$package" | awk '{ print "  " $NF }'
