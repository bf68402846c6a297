#!/usr/bin/env bash
# install_check.sh BUILD_DIR SOURCE_DIR: installs the build into a scratch DESTDIR under the prefix /usr
# and checks what a player gets: the program starts headless (--version, a short offscreen run on its
# compiled-in data and one on the installed data set), the desktop entry and the AppStream metainfo
# validate (when desktop-file-validate and appstreamcli are present), the icons and licences are there,
# and the manual page is the one the command-line test compares with the parser's table.
set -euo pipefail
build=$1
source=$2
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
fail() {
  echo "install check: $*" >&2
  exit 1
}

DESTDIR="$stage" cmake --install "$build" --prefix /usr >"$stage/install.log" || fail "cmake --install failed: $(tail -3 "$stage/install.log")"
root=$stage/usr
id=com.halvecor.Grovanta

bin=$root/bin/grovanta
[ -x "$bin" ] || fail "no program at bin/grovanta"
version=$("$bin" --version) || fail "--version exited with $?"
[ "$version" = "Grovanta (Mega Drive remake) 1.0.0" ] || fail "--version printed '$version'"

# Started from a folder without a data set, the program falls back to the one compiled into it.
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy
cd "$stage"
"$bin" --quit-after-frames 20 --no-intro --windowed --user "$stage/user" >"$stage/run.log" 2>&1 ||
  fail "the offscreen run ended with $?: $(tail -3 "$stage/run.log")"
[ -f "$root/share/grovanta/world/world.json" ] || fail "the data set is not installed in share/grovanta"
"$bin" --quit-after-frames 20 --no-intro --windowed --user "$stage/user" --data "$root/share/grovanta" >"$stage/run_data.log" 2>&1 ||
  fail "the offscreen run on the installed data set ended with $?: $(tail -3 "$stage/run_data.log")"

desktop=$root/share/applications/$id.desktop
metainfo=$root/share/metainfo/$id.metainfo.xml
[ -f "$desktop" ] || fail "no desktop entry"
[ -f "$metainfo" ] || fail "no metainfo"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$desktop" || fail "the desktop entry does not validate"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$metainfo" >"$stage/appstream.log" 2>&1 || fail "the metainfo does not validate: $(cat "$stage/appstream.log")"
fi
icon=$(sed -n 's/^Icon=//p' "$desktop")
for size in 32 48 64 128 256; do
  png=$root/share/icons/hicolor/${size}x${size}/apps/$icon.png
  [ -f "$png" ] || fail "no ${size}x${size} icon"
  head -c 24 "$png" | od -An -tx1 | tr -d ' \n' | grep -q "$(printf '%08x%08x' "$size" "$size")$" || fail "the ${size}x${size} icon has another size"
done

for licence in Grovanta SDL2 nlohmann-json lodepng; do
  [ -s "$root/share/doc/grovanta/$licence.txt" ] || fail "no licence $licence.txt in share/doc/grovanta"
done

page=$root/share/man/man6/grovanta.6
[ -f "$page" ] || fail "no manual page in share/man/man6"
cmp -s "$page" "$source/packaging/grovanta.6" || fail "the installed manual page is not packaging/grovanta.6"
echo "install check: the install into a scratch DESTDIR works"
