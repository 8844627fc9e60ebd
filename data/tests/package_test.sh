#!/usr/bin/env bash
# Builds the Debian package with `cpack -G DEB` and checks what it holds and
# what it asks apt to install with it.
# Usage: package_test.sh BUILD_DIR INSTALLED_FILES_LIST
set -uo pipefail
build_dir=$1
expected=$2
out="$build_dir/package-test"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

rm -rf "$out"
cpack -G DEB --config "$build_dir/CPackConfig.cmake" -B "$out" || { echo "FAIL: cpack"; exit 1; }
debs=("$out"/pelorin_*.deb)
[ "${#debs[@]}" -eq 1 ] && [ -f "${debs[0]}" ] || { echo "FAIL: expected one pelorin_*.deb in $out"; exit 1; }
deb=${debs[0]}
echo "built $(basename "$deb")"

contents=$(dpkg-deb -c "$deb")
while read -r path; do
  grep -q " \./$path\$" <<<"$contents" || fail "package lacks /$path"
done <"$expected"
grep -q '^-rwxr-xr-x .* \./usr/bin/pelorin$' <<<"$contents" || fail "/usr/bin/pelorin is not executable"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = pelorin ] || fail "Package is '$(field Package)'"
[ "$(field Maintainer)" = "The Pelorin developers <pelorin@example.org>" ] ||
  fail "Maintainer is '$(field Maintainer)'"
[ "$(field Section)" = science ] || fail "Section is '$(field Section)'"
[ "$(field Homepage)" = https://example.org/pelorin ] || fail "Homepage is '$(field Homepage)'"
description=$(field Description)
grep -q 'dy/dx = -2x - y' <<<"${description%%$'\n'*}" || fail "Description has no synopsis"
[ "$(wc -l <<<"$description")" -gt 1 ] || fail "Description has no long description"

# dpkg-shlibdeps must have named the Qt 6 libraries the program links, and the
# plugins loaded at run time and the fonts the windows are laid out for must be
# there by name.
depends=$(field Depends)
echo "Depends: $depends"
# One package name a line, versions dropped.
names=$(tr ',' '\n' <<<"$depends" | sed 's/(.*)//; s/ //g')
for package in libqt6core6 libqt6gui6 libqt6widgets6 qt6-qpa-plugins fonts-liberation2 \
               fonts-dejavu-core libc6 libstdc++6 libqcustomplot2.1-qt6; do
  grep -qxF "$package" <<<"$names" || fail "Depends does not name $package"
done

# The copyright file names the licence the program is under.
copyright=$(dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/doc/pelorin/copyright)
grep -q '^License: GPL-3+$' <<<"$copyright" || fail "copyright does not say GPL-3+"

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "package holds $(wc -l <"$expected") expected files and names its dependencies"
