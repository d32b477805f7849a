#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# What `cmake --install` puts where for the build's own prefix, staged in a folder of its own:
# program, launcher entry, icons, metainfo, manual page, copyright, and a machine-wide autostart
# entry that is byte for byte the one the program writes at start. The entries, the metainfo and
# the manual page then go through desktop-file-validate, appstreamcli and man.
#   install-layout.sh BUILD_DIR PROGRAM
set -u
die() { echo "FAIL: $*" >&2; exit 1; }
skip() { echo "SKIP: $*"; exit 77; }
log() { echo "# $*"; }
build=${1:?usage: install-layout.sh BUILD_DIR PROGRAM}
program=${2:?usage: install-layout.sh BUILD_DIR PROGRAM}
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
icon_sizes=(16 22 24 32 48 64 128 256)

cache() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"; }
for f in "$program" "$build/install/Tackpad.desktop" "$build/install/tackpad.1.gz"; do
    [[ -e $f ]] || die "not built: $f (build the whole project first)"
done

stage=$(mktemp -d "${TMPDIR:-/tmp}/tackpad-install.XXXXXX")
pid=
trap '[[ -n $pid ]] && kill "$pid" 2>/dev/null; rm -rf "$stage"' EXIT
DESTDIR=$stage/root cmake --install "$build" >"$stage/install.log" 2>&1 \
    || { cat "$stage/install.log"; die "cmake --install failed"; }
prefix=$(cache CMAKE_INSTALL_PREFIX)
root=$stage/root$prefix

for f in share/applications/org.tackpad.Tackpad.desktop share/metainfo/org.tackpad.Tackpad.metainfo.xml \
    share/icons/hicolor/scalable/apps/tackpad.svg share/man/man1/tackpad.1.gz \
    share/doc/tackpad/copyright share/doc/tackpad/changelog.gz; do
    [[ -f $root/$f ]] || die "$prefix/$f is not installed"
done
[[ -x $root/bin/tackpad ]] || die "$prefix/bin/tackpad is not installed"
cmp -s "$root/share/icons/hicolor/scalable/apps/tackpad.svg" "$source_dir/data/tackpad.svg" || die "the SVG icon differs"
png_size() { # the width x height of a PNG, from its IHDR chunk
    local b
    read -ra b <<<"$(od -An -tu1 -j16 -N8 "$1")"
    echo "$(((b[0] << 24) + (b[1] << 16) + (b[2] << 8) + b[3]))x$(((b[4] << 24) + (b[5] << 16) + (b[6] << 8) + b[7]))"
}
for size in "${icon_sizes[@]}"; do
    png=$root/share/icons/hicolor/${size}x$size/apps/tackpad.png
    [[ -f $png ]] || die "no ${size}x$size icon"
    [[ $(png_size "$png") == "${size}x$size" ]] || die "the ${size}x$size icon is $(png_size "$png")"
done
gzip -t "$root/share/man/man1/tackpad.1.gz" "$root/share/doc/tackpad/changelog.gz" || die "bad gzip files"
zcat "$root/share/man/man1/tackpad.1.gz" | cmp -s - "$source_dir/data/tackpad.1" || die "the installed manual page differs"

# GNUInstallDirs: an absolute SYSCONFDIR as given; / and /usr take /etc; /opt/X takes /etc/opt/X.
sysconfdir=$(cache CMAKE_INSTALL_SYSCONFDIR)
if [[ $sysconfdir != /* ]]; then
    case $prefix in
    / | /usr) sysconfdir=/$sysconfdir ;;
    /opt/*) sysconfdir=/$sysconfdir$prefix ;;
    *) sysconfdir=$prefix/$sysconfdir ;;
    esac
fi
entry=$stage/root$sysconfdir/xdg/autostart/Tackpad.desktop
[[ -f $entry ]] || die "no autostart entry at $sysconfdir/xdg/autostart; installed: $(cd "$stage/root" && find . -name Tackpad.desktop)"
[[ $(find "$stage/root" -name Tackpad.desktop | wc -l) == 1 ]] || die "more than one autostart entry installed"
[[ $(sed -n 's/^Exec=//p' "$entry" | tr -d '"') == "$(cache TACKPAD_PROGRAM_PATH)" ]] \
    || die "the autostart entry starts '$(grep ^Exec= "$entry")', not $(cache TACKPAD_PROGRAM_PATH)"

# The same content as the entry the program writes for the user at start.
home=$stage/home
mkdir -p "$home"
env -i PATH="$PATH" HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_RUNTIME_DIR="$stage" \
    QT_QPA_PLATFORM=offscreen TACKPAD_SPEAKER=none LC_ALL=C.UTF-8 DBUS_SESSION_BUS_ADDRESS=disabled: \
    "$program" >"$stage/program.log" 2>&1 &
pid=$!
for ((i = 0; i < 100; i++)); do
    [[ -s $home/.config/autostart/Tackpad.desktop ]] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
[[ -s $home/.config/autostart/Tackpad.desktop ]] || { cat "$stage/program.log"; die "the program wrote no autostart entry"; }
cmp "$home/.config/autostart/Tackpad.desktop" "$entry" || die "the installed autostart entry differs from the program's"
log "autostart entry at $sysconfdir/xdg/autostart equals the program's"

missing=()
for n in desktop-file-validate appstreamcli man; do command -v "$n" >/dev/null || missing+=("$n"); done
((${#missing[@]} == 0)) || skip "layout good; ${missing[*]} not installed, so files not validated"
desktop-file-validate "$root/share/applications/org.tackpad.Tackpad.desktop" || die "desktop-file-validate: launcher entry"
desktop-file-validate "$entry" || die "desktop-file-validate: autostart entry"
appstreamcli validate --no-net "$root/share/metainfo/org.tackpad.Tackpad.metainfo.xml" || die "appstreamcli rejects the metainfo"
warnings=$(LC_ALL=C MANWIDTH=80 man --warnings -l "$root/share/man/man1/tackpad.1.gz" 2>&1 >/dev/null)
[[ -z $warnings ]] || die "the manual page has formatting warnings: $warnings"
echo "PASS"
