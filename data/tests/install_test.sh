#!/usr/bin/env bash
# Installs the build into a scratch root with prefix /usr, checks that every
# file a desktop needs landed, and starts the installed program.
# Usage: install_test.sh BUILD_DIR INSTALLED_FILES_LIST
set -uo pipefail
build_dir=$1
expected=$2
root="$build_dir/install-test-root"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

rm -rf "$root"
DESTDIR="$root" cmake --install "$build_dir" --prefix /usr || { echo "FAIL: cmake --install"; exit 1; }

while read -r path; do
  [ -f "$root/$path" ] || fail "$path was not installed"
done <"$expected"
[ -x "$root/usr/bin/pelorin" ] || fail "usr/bin/pelorin is not executable"

# Each PNG sits in the folder of its own size: the width and height fields of
# the PNG header must say NxN.
for png in "$root"/usr/share/icons/hicolor/*x*/apps/org.example.pelorin.png; do
  folder=$(basename "$(dirname "$(dirname "$png")")")
  size=$(od -An -tu1 -j16 -N8 "$png" |
    awk '{ printf "%dx%d", $1*16777216 + $2*65536 + $3*256 + $4, $5*16777216 + $6*65536 + $7*256 + $8 }')
  [ "$size" = "$folder" ] || fail "icon in $folder is $size"
done

desktop-file-validate "$root/usr/share/applications/org.example.pelorin.desktop" |
  grep -E '(error|warning):' && fail "installed desktop entry does not validate"
# The installed tree as a software centre sees it: the metainfo's launchable
# must name the installed desktop entry.
appstreamcli validate-tree --no-net "$root" || fail "appstreamcli validate-tree"

missing=$(ldd "$root/usr/bin/pelorin" | grep 'not found')
[ -z "$missing" ] || fail "installed program misses libraries: $missing"

# The program has no command line to quit it: "started and stayed up" is
# timeout ending it (124); any other end is a crash or a failed start.
QT_QPA_PLATFORM=offscreen timeout 5 "$root/usr/bin/pelorin"
status=$?
[ "$status" -eq 124 ] || fail "installed program ended with status $status instead of staying up"

# The lab's plugin, found from where the program is installed.
if command -v Xvfb >/dev/null && command -v xauth >/dev/null && command -v xdotool >/dev/null; then
  "$(dirname "$0")/../../scripts/lib/on-xvfb" 1280x1024x24 "$(dirname "$0")/open_lab_test.sh" \
    "$root/usr/bin/pelorin" "$root/usr/lib/pelorin/pelorin-lab.so" || fail "opening the installed lab"
else
  echo "SKIPPED: opening the installed lab needs Xvfb, xauth and xdotool"
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "installed $(wc -l <"$expected") files; the installed program started and stayed up"
