#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package as a user gets it: made by CPack from a build for /usr with Debian's build
# flags, checked by lintian, installed with dpkg, started on a desktop with a tray, and purged
# again so that the machine is left as it was found.
#   package.sh PROGRAM
# PROGRAM is the built program; the package is built in a folder of its own inside PROGRAM's
# build folder (CMAKE_BUILD_PARALLEL_LEVEL sets the build's jobs).
. "$(dirname "$0")/lib.sh"
program=${1:?usage: package.sh PROGRAM}
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
allow_list=$source_dir/tests/packaging/lintian-allowed-tags
icon_sizes=(16 22 24 32 48 64 128 256)
entry=/etc/xdg/autostart/Tackpad.desktop

(($(id -u) == 0)) || skip "installing a Debian package needs root"
for n in dpkg dpkg-deb dpkg-query dpkg-shlibdeps dpkg-buildflags cmake lintian identify man; do
    command -v "$n" >/dev/null || skip "$n is not installed"
done

build=$(dirname "$(readlink -f "$program")")
while [[ $build != / && ! -f $build/CMakeCache.txt ]]; do build=$(dirname "$build"); done
[[ -f $build/CMakeCache.txt ]] || die "no build folder holds $program"
pkg_build=$build/tests/package-build
# Present while this test has the package installed: a run cut short leaves it behind.
marker=$pkg_build/installed-by-test
mkdir -p "$pkg_build"

installed() { dpkg-query -W -f='${Status}\n' tackpad 2>/dev/null | grep -qv 'not-installed'; }
dpkg_locked() { # dpkg_locked dpkg-arguments...: waits out another dpkg or apt run for a while
    local i
    for ((i = 0; i < 60; i++)); do
        dpkg "$@" >"$pkg_build/dpkg.log" 2>&1 && return 0
        grep -qi 'lock' "$pkg_build/dpkg.log" || return 1
        sleep 1
    done
    return 1
}
if [[ -e $marker ]] && installed; then
    log "purging the package left installed by an earlier run"
    dpkg_locked --purge tackpad || die "cannot purge the earlier run's package: $(cat "$pkg_build/dpkg.log")"
    rm -f "$marker"
fi
rm -f "$marker"
installed && skip "a tackpad package is already installed on this machine; the test would replace it"
for f in /usr/bin/tackpad "$entry"; do
    [[ -e $f ]] && skip "$f is already there; the test would replace it"
done

cd "$source_dir" || die "no source folder"
log "building the package in $pkg_build"
bash "$source_dir/tests/packaging/build-deb.sh" "$build" || die "building the package failed"

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$pkg_build/CMakeCache.txt")
deb=$pkg_build/tackpad_${version}_$(dpkg --print-architecture).deb
[[ -f $deb ]] || die "no $deb; the build made: $(ls "$pkg_build"/*.deb 2>/dev/null)"
log "$(basename "$deb"): $(stat -c %s "$deb") bytes"
field() { dpkg-deb -f "$deb" "$1"; }
[[ $(field Package) == tackpad && $(field Version) == "$version" ]] || die "control: $(field Package) $(field Version)"
[[ $(field Section) == utils ]] || die "section is '$(field Section)', not utils"
[[ -n $(field Maintainer) && -n $(field Description) ]] || die "maintainer or description missing"
depends=$(field Depends)
log "depends: $depends"
# Debian 13 names Qt's core library for its 64-bit time_t (libqt6core6t64).
for lib in libc6 libqt6widgets6 libqt6gui6 'libqt6core6(t64)?' libxcb1; do
    [[ ,$depends, =~ [,\ ]$lib[\ ,] ]] || die "Depends lacks $lib: $depends"
done
# The audio library is loaded only to play the alert; without it the alert is silent.
[[ ,$depends, =~ [,\ ]libpulse0[\ ,] ]] && die "Depends holds libpulse0: $depends"
# A build with notes as Wayland layer surfaces recommends Qt's Wayland plugin too.
recommends=libpulse0
[[ $depends == *liblayershellqtinterface* ]] && recommends+=", qt6-wayland"
[[ $(field Recommends) == "$recommends" ]] || die "Recommends is '$(field Recommends)', not $recommends"
dpkg-deb -c "$deb" | grep -q ' \./usr/local/' && die "the package installs under /usr/local"

# Lintian at every level it shows; a tag passes only when the allow-list gives it a reason. It
# reads only the file, so it runs while the package is installed and tried, and is judged at the end.
lintian --display-info --pedantic --tag-display-limit 0 --fail-on none "$deb" \
    >"$pkg_build/lintian.txt" 2>"$pkg_build/lintian.err" &
lintian_pid=$!
trap 'kill "$lintian_pid" 2>/dev/null' EXIT
check_lintian() {
    wait "$lintian_pid" || { cat "$pkg_build/lintian.err"; die "lintian did not run"; }
    declare -A allowed=()
    while IFS= read -r line; do
        [[ $line =~ ^[[:space:]]*(#|$) ]] && continue
        [[ $line =~ ^([a-z0-9][a-z0-9.+-]*):[[:space:]]*[^[:space:]] ]] || die "allow-list line without a reason: $line"
        allowed[${BASH_REMATCH[1]}]=1
    done <"$allow_list"
    bad=0
    while read -r level tag; do
        if [[ -n ${allowed[$tag]:-} ]]; then
            log "lintian $level $tag: allowed"
        else
            echo "lintian $level: $tag is not in $(basename "$allow_list")" >&2
            bad=1
        fi
    done < <(sed -nE 's/^([EWIP]): tackpad[^:]*: ([^ ]+).*/\1 \2/p' "$pkg_build/lintian.txt" | sort -u)
    ((bad == 0)) || { cat "$pkg_build/lintian.txt" >&2; die "lintian tags"; }
    log "lintian: $(grep -cE '^[EWIP]: ' "$pkg_build/lintian.txt") tags, all allowed"
}

session_start --no-audio
purge() {
    [[ -e $marker ]] || return 0
    dpkg_locked --purge tackpad && rm -f "$marker"
}
trap 'session_stop; purge; kill "$lintian_pid" 2>/dev/null' EXIT
touch "$marker"
dpkg_locked -i "$deb" || die "dpkg -i failed: $(cat "$pkg_build/dpkg.log")"
installed || die "dpkg does not list tackpad as installed"

owned() { [[ -f $1 ]] && dpkg -S "$1" 2>/dev/null | grep -q '^tackpad: '; }
for f in /usr/bin/tackpad /usr/share/applications/org.tackpad.Tackpad.desktop \
    /usr/share/metainfo/org.tackpad.Tackpad.metainfo.xml /usr/share/man/man1/tackpad.1.gz \
    /usr/share/icons/hicolor/scalable/apps/tackpad.svg /usr/share/doc/tackpad/copyright "$entry"; do
    owned "$f" || die "$f is not installed by the package"
done
[[ -x /usr/bin/tackpad ]] || die "/usr/bin/tackpad is not executable"
for size in "${icon_sizes[@]}"; do
    png=/usr/share/icons/hicolor/${size}x$size/apps/tackpad.png
    owned "$png" || die "$png is not installed by the package"
    [[ $(identify -format '%wx%h' "$png") == "${size}x$size" ]] || die "$png is $(identify -format '%wx%h' "$png")"
    cmp -s "$png" "$pkg_build/src/icons/tackpad-$size.png" || die "$png is not the icon the build rendered"
done
cmp -s /usr/share/icons/hicolor/scalable/apps/tackpad.svg "$source_dir/data/tackpad.svg" || die "the SVG icon differs"
dpkg-query -W -f='${Conffiles}\n' tackpad | grep -q "^ $entry " || die "$entry is not a conffile"

launcher=/usr/share/applications/org.tackpad.Tackpad.desktop
for key in Exec=tackpad Icon=tackpad Type=Application; do
    grep -qx "$key" "$launcher" || die "the launcher entry lacks $key"
done
grep -qE '^Categories=(.*;)?Utility;' "$launcher" || die "the launcher entry is not in Utility"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$launcher" || die "desktop-file-validate: $launcher"
    desktop-file-validate "$entry" || die "desktop-file-validate: $entry"
else
    log "desktop-file-validate is not installed: entries not validated"
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net /usr/share/metainfo/org.tackpad.Tackpad.metainfo.xml \
        || die "appstreamcli rejects the metainfo file"
else
    log "appstreamcli is not installed: metainfo not validated"
fi

[[ $(man -w tackpad) == /usr/share/man/man1/tackpad.1.gz ]] || die "man -w tackpad: $(man -w tackpad 2>&1)"
page=$(LC_ALL=C MANWIDTH=200 man --warnings -l /usr/share/man/man1/tackpad.1.gz 2>"$SESSION_DIR/man.err")
[[ -s $SESSION_DIR/man.err ]] && { cat "$SESSION_DIR/man.err"; die "the manual page has formatting warnings"; }
for text in --help --help-all --version XDG_CONFIG_HOME QT_QPA_PLATFORM '$XDG_CONFIG_HOME/Tackpad/Tackpad.ini' \
    0600 "$entry" '~/.config/autostart/Tackpad.desktop' 'not made up'; do
    tr -s '[:space:]' ' ' <<<"$page" | grep -qF -- "$text" || die "the manual page does not mention $text"
done
speaker=$(sed -n '/^ *TACKPAD_SPEAKER$/,/^ *XDG_CONFIG_HOME$/p' <<<"$page")
for choice in auto audio pcspkr ports none; do
    grep -qw "$choice" <<<"$speaker" || die "the manual page does not explain TACKPAD_SPEAKER=$choice"
done

# The command line: --help and --version answer and exit before anything is started or written.
user_entry=$XDG_CONFIG_HOME/autostart/Tackpad.desktop
out=$(/usr/bin/tackpad --version 2>"$SESSION_DIR/err") || die "--version failed: $(cat "$SESSION_DIR/err")"
[[ $out == "Tackpad $version" ]] || die "--version printed '$out'"
out=$(/usr/bin/tackpad --help 2>"$SESSION_DIR/err") || die "--help failed: $(cat "$SESSION_DIR/err")"
grep -q '^Usage: /usr/bin/tackpad \[options\]$' <<<"$out" || die "--help printed no usage: $out"
options=$(sed -nE 's/^ +(-[^ ]+( -[^ ]+)?) .*/\1/p' <<<"$out" | tr '\n' ' ')
[[ $options == "-h, --help --help-all -v, --version " ]] || die "--help lists options '$options'"
/usr/bin/tackpad --bogus >/dev/null 2>"$SESSION_DIR/err" && die "--bogus was accepted"
grep -q "Unknown option 'bogus'" "$SESSION_DIR/err" || die "--bogus: $(cat "$SESSION_DIR/err")"
/usr/bin/tackpad stray-argument >/dev/null 2>&1 && die "an argument was accepted"
[[ -e $user_entry ]] && die "a command-line check started the program"
log "command line: --help, --version, --bogus and an argument behave"

start_tackpad /usr/bin/tackpad TACKPAD_SPEAKER=none
wait_for 10 tray_icon || { cat "$SESSION_DIR/log/tackpad.log"; die "the tray icon did not dock"; }
log "tray icon docked at $(tray_icon)"
wait_for 10 test -s "$user_entry" || die "no per-user autostart entry at $user_entry"
cmp "$user_entry" "$entry" || { diff "$user_entry" "$entry"; die "the per-user autostart entry differs from $entry"; }
[[ $(sed -n 's/^Exec=//p' "$entry" | tr -d '"') == /usr/bin/tackpad ]] || die "$entry starts '$(grep ^Exec= "$entry")'"
kill -0 "$TACKPAD_PID" || die "the program ended"

kill "$TACKPAD_PID" && wait "$TACKPAD_PID" 2>/dev/null
TACKPAD_PID=
purge || die "dpkg --purge failed: $(cat "$pkg_build/dpkg.log")"
installed && die "tackpad is still installed"
for f in /usr/bin/tackpad "$entry" "$launcher"; do
    [[ -e $f ]] && die "$f is left after purging"
done
check_lintian
echo "PASS"
