#!/bin/bash
# setup-prefix.sh [FOLDER ...]
# CTest fixture set-up of the Wine tests: a fresh Wine prefix for this run, set to Windows 98,
# with a virtual desktop on a new Xvfb display. cleanup-prefix.sh ends what this starts. The
# FOLDERs (the win32 build, the test scripts) are made readable for the Wine user.
set -euo pipefail
here=$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")
# shellcheck source=tests/wine/wine-env.sh
source "$here/wine-env.sh"

now_ms() { echo $(($(date +%s%N) / 1000000)); }
elapsed() {
    local ms=$(($(now_ms) - $1))
    printf '%d.%d s' $((ms / 1000)) $((ms % 1000 / 100))
}
step_start=$(now_ms)
fail() {
    echo "setup-prefix: $*" >&2
    for log in "$wine_logs"/*.log; do
        [ -s "$log" ] && { echo "--- $log" >&2; tail -n 30 "$log" >&2; }
    done
    exit 1
}

for tool in wine wineserver Xvfb runuser; do
    command -v "$tool" > /dev/null || fail "$tool is not installed"
done
# Wine's own fonts (MS Sans Serif, Marlett for the caption buttons, Tahoma) give dialogs the
# sizes and looks they have on Windows; the end-to-end tests check positions in pixels.
wine_fonts=/usr/share/wine/fonts
[ -e "$wine_fonts/marlett.ttf" ] ||
    fail "fonts-wine is not installed (apt-get install fonts-wine): dialogs would get other fonts and sizes"

# What a previous run may have left: its wineserver and its Xvfb.
if [ -d "$wine_prefix" ]; then as_wine_user wineserver -k 2> /dev/null || true; fi
if [ -f "$wine_state/xvfb.pid" ]; then
    kill "$(cat "$wine_state/xvfb.pid")" 2> /dev/null || true
fi
echo "setup-prefix: previous run ended ($(elapsed "$step_start"))"
rm -rf "$wine_prefix" "$wine_home" "$wine_artefacts" "$wine_logs" "$wine_state/display" \
    "$wine_state/xvfb.pid"
mkdir -p "$wine_state" "$wine_logs"
make_wine_user_dir "$wine_home"
make_wine_user_dir "$wine_artefacts"

# The Wine user must reach the build outputs and the test scripts: every folder above them
# needs the search (x) permission for others, and what is inside must be readable.
if [ "$(id -u)" = 0 ]; then
    for folder in "$@"; do
        [ -d "$folder" ] && chmod -R o+rX "$folder"
    done
    for start in "$wine_state" "$here" "$@"; do
        dir=$(readlink -f "$start")
        while [ "$dir" != / ]; do
            if ! runuser -u "$wine_user" -- test -x "$dir"; then
                chmod o+x "$dir"
                echo "setup-prefix: made $dir searchable for $wine_user"
            fi
            dir=$(dirname "$dir")
        done
    done
fi

# Xvfb picks a free display itself and writes its number once it accepts clients.
setsid Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp \
    3> "$wine_state/display.tmp" < /dev/null > "$wine_logs/xvfb.log" 2>&1 &
echo $! > "$wine_state/xvfb.pid"
for _ in $(seq 100); do
    [ -s "$wine_state/display.tmp" ] && break
    sleep 0.1
done
[ -s "$wine_state/display.tmp" ] || fail "Xvfb did not start"
tr -dc '0-9' < "$wine_state/display.tmp" > "$wine_state/display"
rm -f "$wine_state/display.tmp"
echo "setup-prefix: Xvfb on :$(cat "$wine_state/display") ($(elapsed "$step_start"))"

# The prefix matches the programs: 32-bit, or 64-bit in the mode for kernels that run no
# 32-bit programs. A wineserver that stays up for the whole run: every test then finds it
# running (no start-up cost, and no server left holding a test's output pipe open). No Mono or
# Gecko: their installers would wait for a click.
step=$(now_ms)
make_wine_user_dir "$wine_prefix"
echo "setup-prefix: a ${wine_mode}-bit prefix"
export WINE_EXTRA_ENV="WINEARCH=win$wine_mode WINEDLLOVERRIDES=mscoree,mshtml="
as_wine_user wineserver -p < /dev/null > "$wine_logs/wineserver.log" 2>&1 ||
    fail "wineserver did not start"
as_wine_user wine wineboot --init < /dev/null > "$wine_logs/wineboot.log" 2>&1 ||
    fail "wineboot failed"
unset WINE_EXTRA_ENV
echo "setup-prefix: wineboot ($(elapsed "$step"))"

# This Wine does not find the fonts in its data folder by itself; it does find them in the
# Windows fonts folder.
as_wine_user cp "$wine_fonts"/* "$wine_prefix/drive_c/windows/Fonts/" || fail "cannot copy the fonts"
# Arial, Times New Roman and Courier New, which kits name in their pages, are Liberation Sans,
# Serif and Mono here: the same metrics, so texts take the room they take on Windows.
liberation=/usr/share/fonts/truetype/liberation
[ -e "$liberation/LiberationSans-Regular.ttf" ] ||
    fail "fonts-liberation is not installed (apt-get install fonts-liberation): Arial would fall back to a bitmap face"
as_wine_user cp "$liberation"/Liberation{Sans,Serif,Mono}-*.ttf "$wine_prefix/drive_c/windows/Fonts/" ||
    fail "cannot copy the Liberation fonts"

step=$(now_ms)
# Every program runs inside a Wine virtual desktop: windows get their frames and captions as on
# Windows 98, and hiding a window does not wait for a window manager that Xvfb does not have.
# The colours are Windows 98's standard scheme: Wine's own makes dialogs F5F5F5 and the inactive
# border white, so that what a program erases with COLOR_INACTIVEBORDER shows as a white patch.
# Text is drawn without font smoothing, as Windows 98 does by default and as the simulated
# machine draws it: the same monochrome glyphs on both. (Wine still smooths the Liberation faces,
# which it finds through fontconfig, at the sizes their gasp tables allow grey; the simulated
# machine does the same.)
cat > "$wine_home/desktop.reg" << 'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"Default"="1024x768"

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"Arial"="Liberation Sans"
"Times New Roman"="Liberation Serif"
"Courier New"="Liberation Mono"

[HKEY_CURRENT_USER\Control Panel\Desktop]
"FontSmoothing"="0"
"FontSmoothingType"=dword:00000001

[HKEY_CURRENT_USER\Control Panel\Colors]
"ActiveBorder"="192 192 192"
"ActiveTitle"="0 0 128"
"AppWorkspace"="128 128 128"
"Background"="0 128 128"
"ButtonAlternateFace"="192 192 192"
"ButtonDkShadow"="0 0 0"
"ButtonFace"="192 192 192"
"ButtonHilight"="255 255 255"
"ButtonLight"="192 192 192"
"ButtonShadow"="128 128 128"
"ButtonText"="0 0 0"
"GradientActiveTitle"="16 132 208"
"GradientInactiveTitle"="192 192 192"
"GrayText"="128 128 128"
"Hilight"="0 0 128"
"HilightText"="255 255 255"
"HotTrackingColor"="0 0 255"
"InactiveBorder"="192 192 192"
"InactiveTitle"="128 128 128"
"InactiveTitleText"="192 192 192"
"InfoText"="0 0 0"
"InfoWindow"="255 255 225"
"Menu"="192 192 192"
"MenuText"="0 0 0"
"Scrollbar"="192 192 192"
"TitleText"="255 255 255"
"Window"="255 255 255"
"WindowFrame"="0 0 0"
"WindowText"="0 0 0"
REG
as_wine_user wine regedit /S "$wine_home/desktop.reg" < /dev/null > "$wine_logs/regedit.log" 2>&1 ||
    fail "regedit failed"
# The desktop that wineboot opened is not a virtual one: start Wine again so that the next
# program opens the virtual desktop.
as_wine_user wineserver -k 2> /dev/null || true
as_wine_user wineserver -w 2> /dev/null || true
as_wine_user wineserver -p < /dev/null >> "$wine_logs/wineserver.log" 2>&1 ||
    fail "wineserver did not start again"
if [ "$wine_mode" = 32 ]; then
    as_wine_user wine winecfg -v win98 < /dev/null > "$wine_logs/winecfg.log" 2>&1 ||
        fail "winecfg -v win98 failed"
    # For Windows 9x, Wine keeps the version where Windows 98 has it.
    version=$(as_wine_user wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion' \
        /v VersionNumber 2> /dev/null | tr -d '\r' | awk '/VersionNumber/ {print $3}')
    [ "${version%%.*}" = 4 ] || fail "the prefix reports Windows version '$version', not 4.10 (win98)"
else
    # winecfg refuses Windows 98 in a 64-bit prefix; Wine's own setting still makes every
    # program of the prefix see 4.10 on platform 1, and RegDeleteKeyA delete subtrees as there.
    as_wine_user wine reg add 'HKCU\Software\Wine' /v Version /d win98 /f < /dev/null \
        > "$wine_logs/winecfg.log" 2>&1 || fail "setting Windows 98 in HKCU\Software\Wine failed"
    version=$(as_wine_user wine reg query 'HKCU\Software\Wine' /v Version 2> /dev/null |
        tr -d '\r' | awk '/Version/ {print $3}')
    [ "$version" = win98 ] || fail "the prefix is set to Windows version '$version', not win98"
fi
echo "setup-prefix: Windows 98, virtual desktop 1024x768 ($(elapsed "$step"))"
echo "setup-prefix: prefix $wine_prefix ready for $wine_user in $(elapsed "$step_start")"
