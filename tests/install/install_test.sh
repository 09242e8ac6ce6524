#!/bin/sh
# Installs a build into a temporary prefix and checks what a desktop finds
# there: every file in its place, both programs running, and the menu and
# software-centre entries accepted by their validators.
#
#   install_test.sh BUILD_DIR
set -eu
build=$1
for tool in desktop-file-validate appstreamcli; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool missing"; exit 77; }
done
prefix=$(mktemp -d "${TMPDIR:-/tmp}/tv-install-$$-XXXXXX")
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null

status=0
for file in bin/tolan bin/tolan-viewer \
            share/icons/hicolor/scalable/apps/tolan-viewer.svg \
            share/applications/tolan-viewer.desktop \
            share/metainfo/org.tavik.TolanViewer.metainfo.xml \
            share/thumbnailers/tolan-viewer.thumbnailer; do
  [ -s "$prefix/$file" ] || { echo "missing: $file"; status=1; }
done
[ "$status" -eq 0 ] || exit 1

"$prefix/bin/tolan" --version | grep -q '^tolan ' || { echo "installed tolan does not run"; exit 1; }
[ -x "$prefix/bin/tolan-viewer" ] || { echo "tolan-viewer is not executable"; exit 1; }
if ldd "$prefix/bin/tolan-viewer" | grep -q 'not found'; then
  echo "tolan-viewer misses libraries"; exit 1
fi

desktop-file-validate "$prefix/share/applications/tolan-viewer.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/org.tavik.TolanViewer.metainfo.xml"
# The menu entry names the installed icon and program, the thumbnailer the installed tool.
grep -qx 'Icon=tolan-viewer' "$prefix/share/applications/tolan-viewer.desktop"
grep -qx 'Exec=tolan-viewer %F' "$prefix/share/applications/tolan-viewer.desktop"
grep -qx 'Exec=tolan thumbnail -s %s %i %o' "$prefix/share/thumbnailers/tolan-viewer.thumbnailer"
grep -q '<launchable type="desktop-id">tolan-viewer.desktop</launchable>' \
  "$prefix/share/metainfo/org.tavik.TolanViewer.metainfo.xml"
echo "installed and validated"
