#!/bin/bash
# kitpreview_test.sh HOST_BUILD_DIR
# kitpreview on the demonstration kit, assembled from the host build, with one mistake that
# kitcheck warns about on the kit wizard's IE45 page and its IE3 page renamed, so that an
# Internet Explorer 3 PC finds no first page: a picture of every page section of Pakonel.ini
# and of every step of cfg.ini that has a page, named <program>-<section>.png, at the windows'
# sizes, the finding given to its page, the variants that depend on the PC
# (<program>-<section>-<variant>.png), and the contact sheet.
set -euo pipefail
root=$(cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/../.." && pwd)
build=$(readlink -f "$1")
work=$(mktemp -d "${TMPDIR:-/tmp}/telvora-kitpreview-test-XXXXXX")
fail() {
    echo "kitpreview_test: $*" >&2
    echo "kitpreview_test: kept in $work" >&2
    exit 1
}
bash "$root/kits/demo/assemble" "$build" "$work/kit" > /dev/null
# Two size codes on one line: the first does nothing (kitcheck's warning).
sed -i '/^\[IE45\]/,/^\[/ s/^1=/1=#12/' "$work/kit/Pakonel.ini"
sed -i 's/^\[IE3\]/[IE3ancien]/' "$work/kit/Pakonel.ini"
"$build/tools/kitpreview/kitpreview" "$work/kit" "$work/out" > "$work/stdout" 2> "$work/stderr" ||
    fail "kitpreview failed: $(cat "$work/stderr")"

sections() { # the sections of an INI file (Windows-1252, CR LF) but General
    tr -d '\r' < "$1" | sed -n 's/^\[\(.*\)\]$/\1/p' | grep -v -x General
}
expected=()
for section in $(sections "$work/kit/Pakonel.ini"); do expected+=("kitassist-$section"); done
# The first page each browser leads to, the missing one as the wizard shows it; the error boxes
# of the root step's checks: a system outside Windows 95/98, no sign-up program.
expected+=(kitassist-IE3 cnxassist-IdentWindow-WindowsNT cnxassist-IdentWindow-SansInscription)
# The plug-in installer's log window, named after the step that starts plugmaj.exe.
plug_step=$(tr -d '\r' < "$work/kit/contenu/cfg.ini" | awk '/^\[/ {s = substr($0, 2, length($0) - 2)}
    tolower($0) == "nomexe=plugmaj.exe" {print s}')
[ -n "$plug_step" ] || fail "no step starts plugmaj.exe in the kit"
expected+=("plugmaj-$plug_step")
step=
while IFS= read -r line; do
    case $line in
        \[*\]) step=${line#[}; step=${step%]} ;;
        Description=*) expected+=("cnxassist-$step") ;;
    esac
done < <(tr -d '\r' < "$work/kit/contenu/cfg.ini")
[ ${#expected[@]} -ge 20 ] || fail "only ${#expected[@]} pages expected: the kit was not read"

size_of() { identify -format '%wx%h' "$1" 2> /dev/null || file "$1" | sed -n 's/.*, \([0-9]*\) x \([0-9]*\),.*/\1x\2/p'; }
missing=0
for name in "${expected[@]}"; do
    if [ ! -s "$work/out/$name.png" ]; then
        echo "kitpreview_test: no picture $name.png" >&2
        missing=1
    fi
done
[ $missing = 0 ] || fail "pages missing"
# The windows as Windows 98 sizes them: the kit wizard's dialog of 337 x 248 dialog units in
# MS Sans Serif 8 (4 units are 6 pixels across, 8 are 13 down, rounded), with its 3-pixel frame
# and 19-pixel caption;
# the connection wizard's window of the step file's Tl x Th.
[ "$(size_of "$work/out/kitassist-IE45.png")" = "$(((337 * 6 + 2) / 4 + 6))x$(((248 * 13 + 4) / 8 + 6 + 19))" ] ||
    fail "kitassist-IE45.png is $(size_of "$work/out/kitassist-IE45.png")"
tl=$(tr -d '\r' < "$work/kit/contenu/cfg.ini" | sed -n 's/^Tl=//p')
th=$(tr -d '\r' < "$work/kit/contenu/cfg.ini" | sed -n 's/^Th=//p')
[ "$(size_of "$work/out/cnxassist-FinTelvora.png")" = "${tl}x${th}" ] ||
    fail "cnxassist-FinTelvora.png is $(size_of "$work/out/cnxassist-FinTelvora.png"), not ${tl}x${th}"
# The finding follows its page's picture in the listing.
awk '/kitassist-IE45.png$/ {on = 1; next} /\.png$/ {on = 0} on' "$work/stdout" |
    grep -q "warning: '#12' does nothing here" || fail "the IE45 page does not carry kitcheck's warning"
# Each first page names the browser that shows it.
awk '/kitassist-IE3.png$/ {getline; print}' "$work/stdout" | grep -q "Internet Explorer 3" ||
    fail "the IE3 first page does not say which PC shows it"
# The wizard's own error text for an unsupported system, in a box of its own.
[ "$(size_of "$work/out/cnxassist-IdentWindow-WindowsNT.png")" != "" ] || fail "no error box"
# A page shows its entry field with the page's own value, as a button leading to it does: the
# directory page's field (x 30, 440 wide, 202 dialog units down: y 350 in the window) holds
# C:\Program Files\Telvora in black, the first page shows no field.
field_ink() {
    convert "$work/out/$1" -crop 430x14+36+354 +repage -fill white +opaque black -negate \
        -format '%[fx:round(mean*w*h)]' info:
}
[ "$(field_ink kitassist-Repertoire.png)" -gt 100 ] ||
    fail "the directory page's entry field does not show the installation folder"
[ -s "$work/out/planche.png" ] || fail "no contact sheet"
rm -rf "$work"
