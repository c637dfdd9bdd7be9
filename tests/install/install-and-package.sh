#!/usr/bin/env bash
# The installed programs, run as a user would: installs the build into a
# temporary prefix, starts the editor from an empty folder in a window under
# the X display (tools/with-display.sh), takes an F12 screenshot of the
# selection screen, runs water-batch on an installed example state, validates
# the desktop entry and metainfo, then builds the Debian package and checks
# what it holds.
#   install-and-package.sh BUILD_DIR [SCREENSHOT_COPY]
set -u
build=$(cd "$1" && pwd)
copy=${2:-}
work=$(mktemp -d)
editor_pid=
cleanup() {
  [ -n "$editor_pid" ] && kill -TERM "$editor_pid" 2>/dev/null && wait "$editor_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() {
  echo "FAILED: $*" >&2
  failures=$((failures + 1))
}

prefix=$work/prefix
share=$prefix/share/brinora-editor
cmake --install "$build" --prefix "$prefix" >/dev/null || { echo "FAILED: cmake --install" >&2; exit 1; }
for f in bin/brinora-editor bin/water-batch share/brinora-editor/data/engineDescription.txt \
         share/brinora-editor/README.md share/brinora-editor/shaders/sm2.fx share/brinora-editor/data/states/calm.txt \
         share/applications/brinora-editor.desktop share/metainfo/brinora-editor.metainfo.xml \
         share/icons/hicolor/48x48/apps/brinora-editor.png share/icons/hicolor/256x256/apps/brinora-editor.png \
         share/man/man1/brinora-editor.1 share/man/man1/water-batch.1; do
  [ -e "$prefix/$f" ] || fail "not installed: $f"
done
desktop-file-validate "$prefix/share/applications/brinora-editor.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$prefix/share/metainfo/brinora-editor.metainfo.xml" >/dev/null ||
  fail "metainfo: $(appstreamcli validate --no-net "$prefix/share/metainfo/brinora-editor.metainfo.xml")"

# The editor from an empty folder, with a home of its own and no XDG variables.
home=$work/home
mkdir -p "$work/empty" "$home"
cd "$work/empty" || exit 1
env -u XDG_DATA_HOME -u XDG_STATE_HOME -u XDG_PICTURES_DIR HOME="$home" \
  "$prefix/bin/brinora-editor" --window 1024x768 2>"$work/editor.err" &
editor_pid=$!
window=$(timeout 60 xdotool search --sync --onlyvisible --name "Brinora Engine Editor")
[ -n "$window" ] || fail "no editor window: $(cat "$work/editor.err")"
shots=$home/Pictures/brinora-editor
for _ in $(seq 100); do
  [ -n "$window" ] || break
  xdotool windowfocus --sync "$window" key F12 2>/dev/null
  sleep 0.3
  compgen -G "$shots/brinora-editor-*.png" >/dev/null && break
  kill -0 "$editor_pid" 2>/dev/null || break
done
shot=$(compgen -G "$shots/brinora-editor-*.png" | head -n 1)
if [ -z "$shot" ]; then
  fail "F12 left no screenshot in $shots: $(cat "$work/editor.err")"
elif [ "$(head -c 8 "$shot" | od -An -tx1 | tr -d ' \n')" != "89504e470d0a1a0a" ]; then
  fail "the screenshot is no PNG"
elif [ "$(od -An -tu1 -j16 -N8 "$shot" | tr -s ' ' | sed 's/^ //')" != "0 0 4 0 0 0 3 0" ]; then
  fail "the screenshot is not the 1024x768 window: $(od -An -tu1 -j16 -N8 "$shot")"
elif [ -n "$copy" ]; then
  cp "$shot" "$copy"
fi
# SDL turns SIGTERM into a quit: the editor closes as from its exit button.
kill -TERM "$editor_pid" 2>/dev/null
wait "$editor_pid" 2>/dev/null
editor_pid=
for f in .local/share/brinora-editor/save/calm.txt .local/state/brinora-editor/blur.txt; do
  [ -s "$home/$f" ] || fail "first start left no $f"
done
[ -z "$(ls -A "$work/empty")" ] || fail "the editor wrote into the working folder: $(ls -A "$work/empty")"
[ ! -e "$share/blur.txt" ] && [ ! -e "$share/save" ] || fail "the editor wrote into the share folder"

# Programs without their share folder stop with one line naming where they looked.
mkdir -p "$work/lonely"
cp "$prefix/bin/brinora-editor" "$prefix/bin/water-batch" "$work/lonely/"
env -u DISPLAY HOME="$home" "$work/lonely/brinora-editor" >/dev/null 2>"$work/lonely.err"
status=$?
[ "$status" = 1 ] && grep -q "cannot find the program's data.*$work/share/brinora-editor" "$work/lonely.err" ||
  fail "the editor without data: exit $status, $(cat "$work/lonely.err")"
"$work/lonely/water-batch" "$share/data/states/calm.txt" --frames 1 >/dev/null 2>"$work/lonely.err"
status=$?
[ "$status" = 1 ] && grep -q "^water-batch: cannot find the program's data" "$work/lonely.err" ||
  fail "water-batch without data: exit $status, $(cat "$work/lonely.err")"

# water-batch on an installed example; its output lands in the working folder.
"$prefix/bin/water-batch" "$share/data/states/calm.txt" --frames 3 --seed 1 --no-progress --csv calm.csv \
  >/dev/null 2>"$work/batch.err" || fail "water-batch: $(cat "$work/batch.err")"
[ "$(wc -l <calm.csv 2>/dev/null)" = 5 ] || fail "water-batch wrote no 3-frame CSV into the working folder"

# The Debian package: the programs, the data, the desktop entry, the metainfo and its dependencies.
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/package" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; fail "cpack -G DEB"; }
deb=$(compgen -G "$work/package/*.deb" | head -n 1)
if [ -z "$deb" ]; then
  fail "no .deb made"
else
  contents=$(dpkg-deb -c "$deb")
  for f in ./usr/bin/brinora-editor ./usr/bin/water-batch ./usr/share/brinora-editor/data/gui/ \
           ./usr/share/brinora-editor/shaders/sm3.fx ./usr/share/brinora-editor/data/states/calm.txt \
           ./usr/share/applications/brinora-editor.desktop ./usr/share/metainfo/brinora-editor.metainfo.xml \
           ./usr/share/icons/hicolor/256x256/apps/brinora-editor.png ./usr/share/man/man1/brinora-editor.1; do
    grep -qF " $f" <<<"$contents" || fail "the package lacks $f"
  done
  depends=$(dpkg-deb -f "$deb" Depends)
  for d in libsdl2-2.0-0 libepoxy0 libfreetype6 libfontconfig1 libpng16-16 libgl1 fonts-liberation \
           fonts-dejavu-core; do
    grep -q "\b$d\b" <<<"$depends" || fail "the package does not depend on $d: $depends"
  done
fi

if [ "$failures" -eq 0 ]; then
  echo "1 passed, 0 failed"
  exit 0
fi
echo "0 passed, 1 failed"
exit 1
