#!/usr/bin/env bash
# The game as a player on Debian gets it, twice. First installed from the build folder into a
# temporary DESTDIR under another prefix: the files where they belong, the replay and the game
# run from an unrelated working directory, Esc ends the game with status 0, and the uninstall
# removes exactly what was installed. Then the Debian package: lintian finds nothing, the
# dependencies are computed, and the game extracted from it into a temporary root (rather than
# installed on this machine) starts and shows its first picture.
# Run as: installed.sh BUILD_DIR SEG_CHECK SHOTS_DIR SCENARIOS_DIR
build=$(realpath "$1")
scenarios=$(realpath "$4")
e2e_name=installed
source "$(dirname "$0")/lib.sh" "$build/crateworks" "$2" "$3"
for tool in cpack dpkg-deb lintian identify; do
  command -v $tool >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
id=org.crateworks.Crateworks
elsewhere=$work/elsewhere
mkdir -p "$elsewhere"
start_x

# Starts the program $game (its pictures in $assets) from an unrelated folder, waits for the
# first picture, every segment lit, and ends it with Esc.
play_from_elsewhere() {
  local what=$1
  cd "$elsewhere" || fail "no folder $elsewhere"
  start_game
  cd - >/dev/null || exit 1
  expect_within "$what-power-on" 5 power-on
  xdotool windowfocus --sync "$wid" key Escape
  await_exit 5
  ((status == 0)) || fail "$what: Esc ended the game with status $status"
}

# --- Installed into a DESTDIR. The component names this install's own manifest, so that a
# `make install` done from this build folder keeps its manifest for `make uninstall`.
dest=$work/dest prefix=/opt/cw
manifest=$build/install_manifest_Unspecified.txt
DESTDIR=$dest cmake --install "$build" --prefix "$prefix" --component Unspecified \
  >"$work/install.log" 2>&1 || fail "cmake --install: $(tail -3 "$work/install.log")"
root=$dest$prefix
for f in bin/crateworks bin/crateworks-replay share/crateworks/assets/casing.png \
  share/crateworks/assets/2x/casing.png share/crateworks/assets/3x/casing.png \
  share/crateworks/assets/DejaVuSans.ttf share/crateworks/assets/DejaVuSans-LICENSE.txt \
  share/crateworks/audio/move.wav share/applications/$id.desktop \
  share/metainfo/$id.metainfo.xml share/icons/hicolor/scalable/apps/$id.svg \
  share/man/man6/crateworks.6.gz share/man/man6/crateworks-replay.6.gz \
  share/doc/crateworks/copyright; do
  [[ -f $root/$f ]] || fail "not installed: $f"
done
# The larger sets in folders of their own: their files have the 1x files' names.
got=$(identify -format '%wx%h' "$root/share/crateworks/assets/casing.png" 2>&1)
[[ $got == 805x449 ]] || fail "the installed 1x casing is $got"
for size in 16 32 48 64 128 256; do
  got=$(identify -format '%wx%h' "$root/share/icons/hicolor/${size}x$size/apps/$id.png" 2>&1)
  [[ $got == "${size}x$size" ]] || fail "the ${size}px icon is $got"
done

# The replay from another folder finds its sounds as the game does, and plays as in the build.
cd "$elsewhere" || exit 1
"$root/bin/crateworks-replay" "$scenarios/crate6_launch_and_silence.scn" >"$work/replay.out" \
  2>"$work/err" || fail "the installed replay failed"
cd - >/dev/null || exit 1
diff -u "$scenarios/crate6_launch_and_silence.out" "$work/replay.out" >"$work/diff" ||
  fail "the installed replay printed otherwise: $(head -20 "$work/diff")"

game=$root/bin/crateworks assets=$root/share/crateworks/assets
play_from_elsewhere installed

# The uninstall leaves nothing behind but the folders that others share (bin/, share/...).
DESTDIR=$dest cmake -DMANIFEST="$manifest" -P "$(dirname "$0")/../../cmake/uninstall.cmake" >/dev/null ||
  fail "the uninstall failed"
left=$(find "$dest" ! -type d)
[[ -z $left ]] || fail "the uninstall left: $left"
[[ ! -e $root/share/crateworks && ! -e $root/share/doc/crateworks ]] ||
  fail "the uninstall left the program's own folders"
rm -f "$manifest"

# --- The Debian package, built into a folder of its own.
(cd "$build" && cpack -G DEB -B "$work/deb") >"$work/cpack.log" 2>&1 ||
  fail "cpack: $(tail -5 "$work/cpack.log")"
deb=$(ls "$work"/deb/crateworks_*.deb 2>/dev/null | head -1)
[[ -n $deb ]] || fail "cpack made no .deb"
lintian --fail-on error,warning "$deb" >"$work/lintian" 2>&1 ||
  fail "lintian: $(grep -v 'root privileges' "$work/lintian")"
[[ $(dpkg-deb -f "$deb" Section) == games ]] || fail "section $(dpkg-deb -f "$deb" Section)"
depends=$(dpkg-deb -f "$deb" Depends)
[[ $depends == *libsdl2-2.0-0* && $depends == *libsdl2-mixer* && $depends == *fonts-dejavu-core* ]] ||
  fail "dependencies not computed from the binaries: $depends"
[[ $depends == *libdecor-0-plugin-1-cairo* ]] || fail "no libdecor plugin among: $depends"

pkgroot=$work/pkgroot
dpkg-deb -x "$deb" "$pkgroot" || fail "dpkg-deb -x failed"
# What the dependency on fonts-dejavu-core brings, which the package links to.
font=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
[[ -f $font ]] || { echo "skipped: fonts-dejavu-core is not installed"; exit 77; }
mkdir -p "$pkgroot${font%/*}" && cp "$font" "$pkgroot$font"
[[ -f $pkgroot/usr/share/crateworks/assets/DejaVuSans.ttf ]] || fail "the font link is broken"
game=$pkgroot/usr/games/crateworks assets=$pkgroot/usr/share/crateworks/assets
play_from_elsewhere package
passed
