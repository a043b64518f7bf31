#!/usr/bin/env bash
# Installs the build into a scratch prefix, then packs a .deb, unpacks it
# into a scratch root and runs the installed program on one dialogue.
#   install_test.sh BUILD_DIR
set -euo pipefail
build=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

expected=$'Enter what shape you want to calc: \nEnter what attribute you want to calc: \nEnter radius of the circle: \n12.566371'
check_run() {
  local got
  got=$(printf 'circle area 2\n' | "$1")
  [ "$got" = "$expected" ] || { echo "unexpected output from $1:"; echo "$got"; exit 1; }
}

cmake --install "$build" --prefix "$scratch/prefix" >/dev/null
for f in bin/shapecalc share/man/man1/shapecalc.1 share/doc/shapecalc/README.md \
         share/doc/shapecalc/LICENSE; do
  [ -f "$scratch/prefix/$f" ] || { echo "not installed: $f"; exit 1; }
done
check_run "$scratch/prefix/bin/shapecalc"

(cd "$build" && cpack -G DEB -B "$scratch/pkg" >/dev/null)
deb=$(ls "$scratch"/pkg/*.deb)
info=$(dpkg-deb --info "$deb")
grep -q '^ Depends: libc6' <<<"$info" || { echo "no libc6 dependency"; exit 1; }
grep -q '^ Maintainer: ' <<<"$info" || { echo "no maintainer"; exit 1; }
dpkg -x "$deb" "$scratch/root"
[ -f "$scratch/root/usr/share/man/man1/shapecalc.1"* ] || { echo "no manual page in the .deb"; exit 1; }
check_run "$scratch/root/usr/bin/shapecalc"
echo "installed and packaged shapecalc runs"
