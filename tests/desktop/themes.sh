#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The settings window and the notes under the light theme, GNOME's dark style (gtk3 with
# Adwaita-dark), qt6ct's "darker" palette, the Adwaita and Adwaita-Dark styles and with DejaVu as
# the only font: on a screenshot every text stands out from its background by at least 4.5:1
# (WCAG AA), the switches' boxes and the hour bar's arrows by 3:1, no date field cuts its text,
# the help box held open shows its whole text, and a click on each arrow of the Red hour bar
# moves the stored hour.
#   themes.sh PROGRAM [FOLDER]   (the screenshots are kept in FOLDER)
. "$(dirname "$0")/lib.sh"
program=${1:?usage: themes.sh PROGRAM [FOLDER]}
out=${2:-}
for p in qt6ct adwaita-qt6 qt6-gtk-platformtheme gnome-themes-extra; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' ||
        skip "$p is not installed"
done
dejavu=/usr/share/fonts/truetype/dejavu
[[ -e $dejavu/DejaVuSans.ttf ]] || skip "fonts-dejavu-core is not installed"
# The six looks in two sessions side by side, three in each; the screenshots wait on the program,
# not on the processor.
if [[ -z ${THEMES:-} ]]; then
    logs=$(mktemp -d "${TMPDIR:-/tmp}/tackpad-themes.XXXXXX")
    THEMES="light gtk-dark qt6ct-darker" bash "$0" "$@" >"$logs/1" 2>&1 &
    first=$!
    THEMES="adwaita adwaita-dark dejavu" bash "$0" "$@" >"$logs/2" 2>&1 &
    second=$!
    trap 'kill "$first" "$second" 2>/dev/null; rm -rf "$logs"' EXIT
    wait "$first"
    a=$?
    wait "$second"
    b=$?
    cat "$logs/1" "$logs/2"
    ((a == 0 && b == 0)) || exit 1
    exit 0
fi
session_start --no-audio
[[ -n $out ]] && mkdir -p "$out"

mkdir -p "$XDG_CONFIG_HOME"/{Tackpad,qt6ct,gtk-3.0,fontconfig} "$SESSION_DIR/fonts"
printf '%s\n' '[Appearance]' 'color_scheme_path=/usr/share/qt6ct/colors/darker.conf' \
    'custom_palette=true' 'style=Fusion' >"$XDG_CONFIG_HOME/qt6ct/qt6ct.conf"
printf '%s\n' '[Settings]' 'gtk-theme-name=Adwaita-dark' 'gtk-application-prefer-dark-theme=1' \
    >"$XDG_CONFIG_HOME/gtk-3.0/settings.ini"
# DejaVu's two plain faces alone, as on a system with nothing but fonts-dejavu-core.
ln -s "$dejavu/DejaVuSans.ttf" "$dejavu/DejaVuSans-Bold.ttf" "$SESSION_DIR/fonts/"
cat >"$XDG_CONFIG_HOME/fontconfig/dejavu.conf" <<XML
<?xml version="1.0"?><!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig><dir>$SESSION_DIR/fonts</dir><cachedir>$XDG_CACHE_HOME/fontconfig</cachedir></fontconfig>
XML

# contrasts FILE "W H X Y"...: for each crop of the screenshot (a PPM), the WCAG ratio between its
# most common colour (its background) and its text, taken as the third pixel that stands out most
# (anti-aliased edges are weaker, and a small glyph has few pixels of its core colour). One
# process reads the screenshot once for all of them.
contrasts() {
    /usr/bin/python3 - "$@" <<'PY'
import sys
magic, width, height, depth, pixels = open(sys.argv[1], "rb").read().split(maxsplit=4)
assert magic == b"P6" and depth == b"255", "not an 8-bit PPM"
width = int(width)
def lum(r, g, b):
    lin = lambda c: c / 255 / 12.92 if c / 255 <= 0.04045 else ((c / 255 + 0.055) / 1.055) ** 2.4
    return 0.2126 * lin(r) + 0.7152 * lin(g) + 0.0722 * lin(b)
for crop in sys.argv[2:]:
    w, h, x, y = map(int, crop.split())
    counts = {}
    for row in range(y, y + h):
        line = pixels[(row * width + x) * 3:(row * width + x + w) * 3]
        for i in range(0, len(line), 3):
            counts[line[i:i + 3]] = counts.get(line[i:i + 3], 0) + 1
    bg = lum(*max(counts, key=lambda c: (counts[c], [-v for v in c])))
    ratios = sorted(((max(l, bg) + 0.05) / (min(l, bg) + 0.05), n)
                    for l, n in ((lum(*c), n) for c, n in counts.items()))
    seen, ratio = 0, None
    while seen < 3 and ratios:
        ratio, n = ratios.pop()
        seen += n
    print("%.2f" % ratio if seen >= 3 else 0)
PY
}

# check_contrasts THEME FILE "NAME|MINIMUM|W H X Y"...: checks each crop's contrast
check_contrasts() {
    local theme=$1 file=$2 crops=() item i=0 ratio
    shift 2
    for item in "$@"; do crops+=("${item##*|}"); done
    while read -r ratio; do
        item=${@:$((i += 1)):1}
        check "$theme" "${item%%|*}" "$ratio" "$(cut -d'|' -f2 <<<"$item")"
    done < <(contrasts "$file" "${crops[@]}")
    ((i == $#)) || die "$theme: $i of $# contrasts were measured"
}

# ink_margins FILE W H X Y: the blank columns left and right of the dark text in the crop
ink_margins() {
    convert "$1" -crop "$2x$3+$4+$5" +repage -colorspace gray -threshold 40% -negate \
        -scale "$2x1!" -threshold 1% txt:- |
        awk -F'[,: ]+' 'NR > 1 && /#FFFFFF|white/ { if (first == "") first = $1; last = $1 }
            END { if (first == "") print -1, -1; else print first, '"$2"' - 1 - last }'
}

# paragraphs FILE W H X Y: the paragraphs of dark text in the crop (rows of ink more than 12 rows
# apart), the heights of the first and the last, and the last row with ink
paragraphs() {
    convert "$1" -crop "$2x$3+$4+$5" +repage -colorspace gray -threshold 40% -negate \
        -scale "1x$3!" -threshold 1% txt:- |
        awk -F'[,: ]+' 'NR > 1 && /#FFFFFF|white/ {
                if (n == 0 || $2 - last > 12) { n++; top = $2 }
                if (n == 1) first = $2 - top + 1
                last = $2 }
            END { print n + 0, first + 0, last - top + 1, last + 0 }'
}

hour_of_red() { awk '/^\[/ { s = ($0 == "[Hour]") } s && /^Red=/ { sub(/^Red=/, ""); print }' \
    "$XDG_CONFIG_HOME/Tackpad/Tackpad.ini"; }
moved_up() { local g; g=$(geometry "$(window_role "$1")") && (($(cut -d' ' -f2 <<<"$g") < $2)); }
red_hour_is() { [[ $(hour_of_red) == "$1" ]]; }

failures=0
check() { # check THEME WHAT VALUE MINIMUM
    if awk -v v="$3" -v m="$4" 'BEGIN { exit !(v >= m) }'; then
        log "$1: $2 $3"
    else
        echo "FAIL: $1: $2 $3, less than $4" >&2
        failures=$((failures + 1))
    fi
}

# Texts of the settings window: name, then the crop inside the window (x y w h), kept clear of the
# controls' frames and of the focus ring. Label2, the program's name in red, is its logotype.
texts=(
    "lblBlue 36 156 91 11" "lblGreen 36 196 91 11" "lblRed 36 236 91 11"
    "txtDateBlue 172 156 105 13" "txtDateGreen 172 196 105 13" "txtDateRed 172 236 105 13"
    "txtHourGreen 388 196 35 13" "txtMinGreen 460 196 35 13" "txtHourRed 388 236 35 13"
    "txtSysDate 28 60 115 17" "txtSysTime 156 60 91 17" "Frame1 18 42 120 12"
    "Label3 35 115 93 13" "Label5 171 115 105 13" "Label6 387 99 115 13" "Label8 387 131 43 10"
    "Label9 459 131 43 10" "Label1 291 83 70 50" "Label7 522 91 70 40" "Label10 610 91 70 40"
    "lblAd 403 8 38 11" "Label13 459 8 78 11" "lblTray 555 8 51 11" "lblMe 147 283 387 13"
)
# The Red calendar as its date field opens it: month bar, day names, days of this and other
# months, Sundays and the selected day (17 April 2004, a Saturday).
calendar=(
    "title 400 135 66 11" "day-names 328 156 140 11" "days 328 190 170 12"
    "other-month-days 328 172 110 12" "Sundays 557 172 20 66" "selected-day 512 208 33 13"
)
boxes=("chkRed 316 236 11 11" "chkBlue1 556 156 11 11" "chkGreen2 644 196 11 11")
dates=("txtDateBlue 172 156 105 13" "txtDateGreen 172 196 105 13" "txtSysDate 28 60 115 17")

run_theme() {
    local theme=$1 envs=(TACKPAD_SPEAKER=none) role x y w h mx my mw mh item name cx cy cw ch
    shift
    envs+=("$@")
    cat >"$XDG_CONFIG_HOME/Tackpad/Tackpad.ini" <<'INI'
[Always]
Blue=ON
Green=ON
Red=ON

[Date]
Blue=December 24, 2026
Green=September 28, 2026
Red=May 02, 2027

[Hour]
Green=9
Red=23

[Min]
Green=30

[Note]
Blue=Presents for Leo
Green=Standup 9:30
Red=Dentist Friday
INI
    start_tackpad "$program" "${envs[@]}"
    for role in frmBlue frmGreen frmRed; do
        wait_for 10 role_viewable $role || die "$theme: $role did not show"
    done
    # The notes open one over the other in the middle; lay them out above the settings window.
    read -r x y w h <<<"$(geometry "$(window_role frmRed)")"
    drag $((x + 60)) $((y + 90)) -200 -300
    wait_for 3 moved_up frmRed $((y - 200)) || die "$theme: the Red note did not move"
    drag $((x + 60)) $((y + 90)) 200 -300
    wait_for 3 moved_up frmGreen $((y - 200)) || die "$theme: the Green note did not move"
    drag $((x + 60)) $((y + 90)) 0 -300
    wait_for 3 moved_up frmBlue $((y - 200)) || die "$theme: the Blue note did not move"
    # A second start brings up the running one's settings window. Bounded, like the end below: a
    # start or an end that hangs fails here with its name instead of holding the run.
    timeout 10 env "${envs[@]}" "$program" >>"$SESSION_DIR/log/tackpad.log" 2>&1 ||
        die "$theme: the second start ended with status $?"
    wait_for 5 role_viewable frmMain || die "$theme: the settings window did not open"
    sleep 0.7
    read -r mx my mw mh <<<"$(geometry "$(window_role frmMain)")"
    local shot="$SESSION_DIR/$theme.ppm" crops=()
    import -window root -depth 8 "$shot" # 8 bits a channel, as contrasts reads it
    [[ -n $out ]] && convert "$shot" "$out/themes-$theme.png"

    for item in "${texts[@]}"; do
        read -r name cx cy cw ch <<<"$item"
        crops+=("$name|4.5|$cw $ch $((mx + cx)) $((my + cy))")
    done
    for role in frmBlue frmGreen frmRed; do
        read -r x y w h <<<"$(geometry "$(window_role $role)")"
        crops+=("txt${role#frm}|4.5|$((w - 12)) 16 $((x + 6)) $((y + 6))")
    done
    for item in "${boxes[@]}"; do
        read -r name cx cy cw ch <<<"$item"
        crops+=("$name box|3|$cw $ch $((mx + cx)) $((my + cy))")
    done
    crops+=("VScrollHourRed up arrow|3|12 7 $((mx + 428)) $((my + 235))"
        "VScrollHourRed down arrow|3|12 7 $((mx + 428)) $((my + 249))")
    check_contrasts "$theme" "$shot" "${crops[@]}"
    # Centred text shows as wide a margin left as right; a cut one starts at the field's edge.
    for item in "${dates[@]}"; do
        read -r name cx cy cw ch <<<"$item"
        read -r left right <<<"$(ink_margins "$shot" "$cw" "$ch" $((mx + cx)) $((my + cy)))"
        if ((left < 1 || right < 1 || left - right > 3 || right - left > 3)); then
            echo "FAIL: $theme: $name shows its text with margins $left and $right" >&2
            failures=$((failures + 1))
        else
            log "$theme: $name margins $left $right"
        fi
    done

    # Held open, the help box shows its whole text: four paragraphs, the last (two lines) as high
    # as the first, neither cut nor wrapped, above the box's bottom. (Its scroll bar showed only
    # where they did not fit.)
    xdotool mousemove $((mx + 499)) $((my + 13)) sleep 0.05 mousedown 1
    sleep 0.5
    import -window root -depth 8 "$shot"
    xdotool mouseup 1
    [[ -n $out ]] && convert "$shot" "$out/themes-$theme-help.png"
    read -r n first height bottom <<<"$(paragraphs "$shot" 649 241 $((mx + 29)) $((my + 29)))"
    if ((n != 4 || height - first > 4 || first - height > 4 || bottom > 237)); then
        echo "FAIL: $theme: the help box shows $n paragraphs, the first $first rows high and the last $height ending at $bottom of 241" >&2
        failures=$((failures + 1))
    else
        log "$theme: help box paragraphs $n, the first $first rows high, the last $height ending at $bottom of 241"
    fi

    # The bar starts at 1 whatever the field says: its lower arrow gives 2, the upper one 1.
    click $((mx + 433)) $((my + 252))
    wait_for 3 red_hour_is 2 || {
        echo "FAIL: $theme: the hour bar's lower arrow left the hour at $(hour_of_red)" >&2
        failures=$((failures + 1))
    }
    click $((mx + 433)) $((my + 238))
    wait_for 3 red_hour_is 1 || {
        echo "FAIL: $theme: the hour bar's upper arrow left the hour at $(hour_of_red)" >&2
        failures=$((failures + 1))
    }
    click $((mx + 198)) $((my + 240))
    sleep 0.7
    import -window root -depth 8 "$shot" # 8 bits a channel, as contrasts reads it
    [[ -n $out ]] && convert "$shot" "$out/themes-$theme-calendar.png"
    crops=()
    for item in "${calendar[@]}"; do
        read -r name cx cy cw ch <<<"$item"
        crops+=("CalendarRed $name|4.5|$cw $ch $((mx + cx)) $((my + cy))")
    done
    check_contrasts "$theme" "$shot" "${crops[@]}"
    kill "$TACKPAD_PID"
    ended() { ! kill -0 "$TACKPAD_PID" 2>/dev/null; }
    wait_for 5 ended || die "$theme: SIGTERM did not end the program"
    wait "$TACKPAD_PID" 2>/dev/null
    TACKPAD_PID=
}

declare -A looks=([light]="" [gtk-dark]=QT_QPA_PLATFORMTHEME=gtk3
    [qt6ct-darker]=QT_QPA_PLATFORMTHEME=qt6ct [adwaita]=QT_STYLE_OVERRIDE=Adwaita
    [adwaita-dark]=QT_STYLE_OVERRIDE=Adwaita-Dark
    [dejavu]=FONTCONFIG_FILE="$XDG_CONFIG_HOME/fontconfig/dejavu.conf")
for theme in $THEMES; do
    [[ -v looks[$theme] ]] || die "no look named $theme"
    run_theme "$theme" ${looks[$theme]}
done
((failures == 0)) || die "$failures checks failed"
echo "PASS"
