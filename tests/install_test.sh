#!/usr/bin/env bash
# In a scratch build of its own (never the user's build folder, whose
# install manifest and packages are the user's): installs into a scratch
# prefix and uninstalls again, then packs a .deb, checks it with lintian
# where lintian is installed, unpacks it and runs the packaged program.
#   install_test.sh SOURCE_DIR
set -euo pipefail
source_dir=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

expected=$'Enter what shape you want to calc: \nEnter what attribute you want to calc: \nEnter radius of the circle: \n12.566371'
check_run() {
  local got
  got=$(printf 'circle area 2\n' | "$1")
  [ "$got" = "$expected" ] || { echo "unexpected output from $1:"; echo "$got"; exit 1; }
}

build=$scratch/build
cmake -S "$source_dir" -B "$build" -DBUILD_TESTING=OFF -DSHAPECALC_BENCH=OFF >/dev/null
cmake --build "$build" -j2 >/dev/null

prefix=$scratch/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
installed=(bin/shapecalc share/man/man1/shapecalc.1.gz share/doc/shapecalc/README.md
           share/doc/shapecalc/copyright share/doc/shapecalc/changelog.gz)
for f in "${installed[@]}"; do
  [ -f "$prefix/$f" ] || { echo "not installed: $f"; exit 1; }
done
check_run "$prefix/bin/shapecalc"

# Packaging in the same build must not change what uninstall removes.
(cd "$build" && cpack -G DEB -B "$scratch/pkg" >/dev/null)
deb=$(ls "$scratch"/pkg/*.deb)
echo "a file of the user's" >"$prefix/share/doc/shapecalc/notes"
cmake --build "$build" --target uninstall >/dev/null
left=$(cd "$prefix" && find . -type f)
[ "$left" = "./share/doc/shapecalc/notes" ] || { echo "uninstall left or took: $left"; exit 1; }

info=$(dpkg-deb --info "$deb")
grep -q '^ Depends: libc6' <<<"$info" || { echo "no libc6 dependency"; exit 1; }
grep -q '^ Maintainer: ' <<<"$info" || { echo "no maintainer"; exit 1; }
if command -v lintian >/dev/null; then
  lintian --pedantic --display-info --fail-on error,warning,info,pedantic "$deb" 2>/dev/null ||
    { echo "lintian found the tags above"; exit 1; }
fi
dpkg -x "$deb" "$scratch/root"
[ -f "$scratch/root/usr/share/man/man1/shapecalc.1.gz" ] || { echo "no manual page in the .deb"; exit 1; }
[ ! -e "$scratch/root/usr/share/doc/shapecalc/LICENSE" ] || { echo "licence shipped twice"; exit 1; }
check_run "$scratch/root/usr/bin/shapecalc"
echo "installed, uninstalled and packaged shapecalc runs"
