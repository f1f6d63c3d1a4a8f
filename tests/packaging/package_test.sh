#!/usr/bin/env bash
# Builds the Debian package from the build tree, checks its control data and file list,
# unpacks it into a scratch root and runs the batch tool from there.
#   package_test.sh BUILD_DIR
set -euo pipefail
BUILD="$1"
SCRATCH="$(mktemp -d)"
trap 'rm -rf "$SCRATCH"' EXIT
cd "$BUILD"
cpack -G DEB -B "$SCRATCH/out" >"$SCRATCH/cpack.log" 2>&1 || { cat "$SCRATCH/cpack.log"; exit 1; }
deb="$(ls "$SCRATCH"/out/*.deb)"
fail() { echo "FAIL: $*"; exit 1; }

[ "$(dpkg-deb -f "$deb" Package)" = lithoscan3d ] || fail "package name"
depends="$(dpkg-deb -f "$deb" Depends)"
for lib in libqt6widgets6 libqt6opengl6 libgl2ps libavformat libavcodec libswscale libc6 libgl1-mesa-dri qt6-qpa-plugins; do
  [[ "$depends" == *"$lib"* ]] || fail "Depends lacks $lib: $depends"
done

files="$(dpkg-deb -c "$deb" | awk '{print $6}')"
for f in ./usr/bin/lithoscan3d ./usr/bin/lithoscan3d-batch ./usr/bin/oskrine ./usr/bin/trelvane ./usr/bin/quendelplot ./usr/share/applications/lithoscan3d.desktop \
         ./usr/share/mime/packages/lithoscan3d.xml ./usr/share/icons/hicolor/scalable/apps/lithoscan3d.svg \
         ./usr/share/icons/hicolor/48x48/apps/lithoscan3d.png ./usr/share/lithoscan3d/examples/block/block.msh \
         ./usr/share/doc/lithoscan3d/copyright ./usr/share/doc/lithoscan3d/manual.html \
         ./usr/share/doc/lithoscan3d/images/block-first.png; do
  grep -qxF "$f" <<<"$files" || fail "missing $f"
done

root="$SCRATCH/root"
dpkg-deb -x "$deb" "$root"
version="$("$root/usr/bin/lithoscan3d-batch" --version)"
[[ "$version" == "lithoscan3d-batch "* ]] || fail "--version printed: $version"
"$root/usr/bin/lithoscan3d-batch" info "$root/usr/share/lithoscan3d/examples/block/block.msh" \
  "$root/usr/share/lithoscan3d/examples/block/density.den" >/dev/null || fail "info on the installed example"

# The desktop entry is valid and double-clicking a view file opens it in the program.
desktop-file-validate "$root/usr/share/applications/lithoscan3d.desktop" || fail "desktop entry"
grep -qx "Exec=lithoscan3d %f" "$root/usr/share/applications/lithoscan3d.desktop" || fail "Exec line"
update-mime-database "$root/usr/share/mime" >/dev/null
grep -q "application/x-lithoscan3d-view:\*\.ls3d" "$root/usr/share/mime/globs2" || fail "*.ls3d glob"
grep -q "MimeType=application/x-lithoscan3d-view;" "$root/usr/share/applications/lithoscan3d.desktop" || fail "MimeType"
echo "package $(basename "$deb"): $(wc -l <<<"$files") entries, Depends: $depends"
