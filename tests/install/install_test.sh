#!/usr/bin/env bash
# install_test.sh BUILD_DIR gui|core
# Installs BUILD_DIR into a temporary prefix and checks the installed tree.
set -uo pipefail
build=$1
kind=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
need() { [ -e "$prefix/$1" ] || fail "$1 is not installed"; }

if ! cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1; then
  cat "$work/install.log" >&2
  echo "FAIL: cmake --install" >&2
  exit 1
fi

app=com.norvale.Tracemill
desktop=share/applications/$app.desktop
metainfo=share/metainfo/$app.metainfo.xml
docs=share/doc/tracemill

# The files.
for f in "$docs/tracemill.html" "$docs/tracemill.txt" "$desktop" "$metainfo" \
         share/mime/packages/tracemill.xml share/icons/hicolor/scalable/apps/tracemill.svg \
         share/icons/hicolor/scalable/mimetypes/application-x-tracemill-state.svg; do
  need "$f"
done
for size in 16 32 48 64 128 256; do need "share/icons/hicolor/${size}x${size}/apps/tracemill.png"; done
if [ "$kind" = gui ]; then
  need lib/tracemill/plugins/qtimage.spi
fi

# Every picture the manual shows is installed beside it.
if [ -f "$prefix/$docs/tracemill.html" ]; then
  grep -o 'src="[^"]*"' "$prefix/$docs/tracemill.html" | sed 's/^src="//; s/"$//' | sort -u | while read -r image; do
    [ -f "$prefix/$docs/$image" ] || echo "$image"
  done >"$work/missing-images"
  [ -s "$work/missing-images" ] && fail "the manual shows pictures that are not installed: $(tr '\n' ' ' <"$work/missing-images")"
  for anchor in ja en; do
    grep -q "id=\"$anchor\"" "$prefix/$docs/tracemill.html" || fail "the manual has no part with the anchor #$anchor"
  done
fi

# The desktop's validators accept the menu entry and the AppStream description.
desktop-file-validate "$prefix/$desktop" || fail "desktop-file-validate $desktop"
appstreamcli validate --no-net "$prefix/$metainfo" >"$work/appstream.log" 2>&1 ||
  { cat "$work/appstream.log" >&2; fail "appstreamcli validate $metainfo"; }

# The pieces name each other: the description launches the installed entry,
# the entry shows an installed icon and opens the state file type, which the
# MIME database of the prefix knows by its glob and its first line.
grep -q "<launchable type=\"desktop-id\">$app.desktop</launchable>" "$prefix/$metainfo" ||
  fail "the metainfo does not launch $app.desktop"
icon=$(sed -n 's/^Icon=//p' "$prefix/$desktop")
[ -f "$prefix/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "the entry's icon \"$icon\" is not installed"
grep -q '^MimeType=.*application/x-tracemill-state;' "$prefix/$desktop" || fail "the entry does not open state files"
exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$prefix/$desktop")
[ "$exec_name" = tracemill ] || fail "the entry runs \"$exec_name\""
if command -v update-mime-database >/dev/null; then
  update-mime-database "$prefix/share/mime" >"$work/mime.log" 2>&1 || fail "update-mime-database: $(cat "$work/mime.log")"
  grep -q '^application/x-tracemill-state' "$prefix/share/mime/types" || fail "the MIME database lacks the state file type"
  grep -q ':application/x-tracemill-state:\*\.trm$' "$prefix/share/mime/globs2" || fail "*.trm is not a state file"
  grep -q 'Tracemill state file' "$prefix/share/mime/application/x-tracemill-state.xml" ||
    fail "the state file type is not called \"Tracemill state file\""
fi

# The installed program runs, headless, with its installed plug-ins.
program=$prefix/bin/tracemill
if [ -x "$program" ]; then
  export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
  unset DISPLAY WAYLAND_DISPLAY
  "$program" --version >"$work/version.txt" 2>&1 || fail "tracemill --version"
  grep -q 'Tracemill' "$work/version.txt" || fail "tracemill --version does not name the program"
  # The version message names the manual and the read-me where the installed program finds them.
  installed_docs=$(cd "$prefix" && pwd -P)/$docs
  grep -q "$installed_docs/tracemill.html" "$work/version.txt" ||
    fail "the installed program does not find its manual: $(cat "$work/version.txt")"
  grep -q "$installed_docs/tracemill.txt" "$work/version.txt" ||
    fail "the installed program does not find its read-me"
  if "$program" --batch --save-state - >"$work/empty.trm" 2>"$work/batch.log"; then
    [ "$(head -n 1 "$work/empty.trm" | tr -d '\r')" = "Tracemill Setting File" ] ||
      fail "the batch mode does not write a state file"
    if [ "$kind" = gui ]; then
      # A PNG opens only through the installed plug-in.
      png=$prefix/share/icons/hicolor/32x32/apps/tracemill.png
      "$program" --batch "$png" --save-state - >"$work/png.trm" 2>>"$work/batch.log" ||
        fail "the installed program does not open a PNG: $(cat "$work/batch.log")"
      grep -q "^Filename=$png" "$work/png.trm" || fail "no bench holds the PNG"
    fi
  else
    fail "tracemill --batch --save-state -: $(cat "$work/batch.log")"
  fi
else
  echo "note: this build has no program; its checks are skipped"
fi

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed" >&2; exit 1; }
echo "installed tree checked"
