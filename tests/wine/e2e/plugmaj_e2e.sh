#!/bin/bash
# plugmaj_e2e.sh TEST_BUILD_DIR PROGRAMS_BUILD_DIR
# The real plugmaj.exe under Wine (Windows 98): a silent installation into the browser's
# directory, checked with reg query and the copied files; the shown modes ("h" over an
# installation, "d", "H" on a clean machine, a second "d"), whose logs are drawn with TextOut
# and so are checked on screenshots, line by line; a .vtx document opened through the new
# association reaches the terminal stand-in; the last removal leaves nothing behind.
set -euo pipefail
here=$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")
# shellcheck source=tests/wine/wine-env.sh
source "$here/../wine-env.sh"

win32_dir=$1
programs_dir=$2
driver=$win32_dir/tests/driver/testdrv.exe
out=$wine_artefacts/plugmaj
kit=$out/kit
browser=$wine_prefix/drive_c/IE
started=$(date +%s%N)
rm -rf "$out" "$browser"
make_wine_user_dir "$out"
make_wine_user_dir "$kit"
make_wine_user_dir "$browser"

fail() {
    echo "plugmaj_e2e: $*" >&2
    exit 1
}

cp "$programs_dir/plugmaj/plugmaj.exe" "$programs_dir/tools/quadterm/quadterm.exe" \
    "$programs_dir/tools/quadterm/quadterm.ini" "$kit/"
chown -R "$wine_user:" "$kit" 2> /dev/null || true

reg() {
    as_wine_user wine reg "$@"
}
run_driver() {
    bash "$here/../run-in-wine" "$driver" "$@"
}
# HKEY_CLASSES_ROOT is HKEY_LOCAL_MACHINE\Software\Classes.
classes='HKLM\Software\Classes'
mime='MIME\Database\Content Type\application/x-quadrel'
# The plug-in's keys, absent on a fresh prefix; a run by hand may have left them.
for key in .vtx vtxfile "$mime"; do reg delete "$classes\\$key" /f > /dev/null 2>&1 || true; done
reg add 'HKLM\Software\Microsoft\Windows\CurrentVersion\App Paths\IEXPLORE.EXE' \
    /v Path /d 'C:\IE;' /f > /dev/null

# reg writes to a pipe in the OEM code page.
query() {  # key -> the key's values, one per line, or nothing when it does not exist
    local listing
    # reg prints its "Unable to find" on standard output too: only its exit code tells.
    listing=$(reg query "$classes\\$1" 2> /dev/null) || return 0
    tr -d '\r' <<< "$listing" | iconv -f CP850 -t UTF-8
}
expect_value() {  # key name type [data]
    local listing
    listing=$(query "$1")
    grep -q -E "^ +$2 +$3( +${4:-})?\$" <<< "$listing" ||
        fail "HKCR\\$1: value $2 is not $3 ${4:-}: $listing"
}
expect_installed() {
    expect_value "$mime" Extension REG_SZ '\.vtx'
    expect_value .vtx '\(Default\)' REG_SZ vtxfile
    expect_value .vtx 'Content Type' REG_SZ vtxfile
    expect_value vtxfile '\(Default\)' REG_SZ Win-Quadrel
    expect_value vtxfile AlwaysShowExt REG_SZ
    expect_value vtxfile EditFlags REG_BINARY 00000100
    expect_value 'vtxfile\Shell\open\command' '\(Default\)' REG_SZ 'C:\\IE\\quadterm\.exe %1'
    cmp -s "$kit/quadterm.exe" "$browser/quadterm.exe" || fail "quadterm.exe was not copied"
    cmp -s "$kit/quadterm.ini" "$browser/quadterm.ini" || fail "quadterm.ini was not copied"
}
key_exists() {
    reg query "$classes\\$1" > /dev/null 2>&1
}
expect_removed() {
    for key in .vtx vtxfile "$mime"; do
        ! key_exists "$key" || fail "HKCR\\$key is still there"
    done
    key_exists 'MIME\Database\Content Type' || fail "the MIME database went too"
    if [ -e "$browser/quadterm.exe" ] || [ -e "$browser/quadterm.ini" ]; then
        fail "the plug-in files are still in C:\\IE"
    fi
}

# Which log lines of a screenshot hold text: one digit per line of the log area, 1 inked,
# 0 blank (line k of the log is drawn at y = 20 k of the client area). The client area is where
# the picture turns white for good: the frame's highlight is one white pixel wide, the caption
# is not white, and the log never reaches the right edge or the bottom of the window.
first_white_run() {  # txt: listing on stdin, 1 for x or 2 for y -> where 10 white pixels start
    awk -F'[(),:]' -v axis="$1" '
        NR == 1 { next }
        $4 != 255 || $5 != 255 || $6 != 255 { run = 0; next }
        run++ == 0 { start = $axis }
        run == 10 { print start; exit }'
}
log_lines() {  # screenshot.bmp count
    local shot=$1 count=$2
    local top left
    top=$(convert "$shot" -crop 1x120+985+0 +repage -depth 8 txt:- | first_white_run 2)
    [ -n "$top" ] || fail "no client area in $shot"
    left=$(convert "$shot" -crop 40x1+0+$((top + 370)) +repage -depth 8 txt:- | first_white_run 1)
    [ -n "$left" ] || fail "no client area in $shot"
    convert "$shot" -crop "990x$((count * 20))+$left+$top" +repage -colorspace Gray \
        -threshold 50% -depth 8 txt:- |
        awk -F'[(),:]' -v count="$count" '
            NR > 1 && $4 + 0 < 128 { ink[int($2 / 20)] = 1 }
            END { for (k = 0; k < count; k++) printf "%d", ink[k] ? 1 : 0; print "" }'
}
expect_log_lines() {  # name pattern
    local shot=$out/$1.bmp
    convert "$shot" "$out/$1.png"
    local lines
    lines=$(log_lines "$shot" 18)
    [ "$lines" = "$2" ] || fail "$1: log lines drawn $lines, expected $2 (see $out/$1.png)"
    echo "plugmaj_e2e: $1 log lines $lines"
}
shown_run() {  # argument name
    run_driver "$here/plugmaj_e2e.txt" KIT="$kit" EXE="$kit/plugmaj.exe" ARG="$1" \
        SHOT="$out/$2.bmp" > "$out/$2.log" || fail "the run with \"$1\" failed (log: $out/$2.log)"
}

# 1. Without arguments: a silent installation that ends by itself with 0.
status=0
(cd "$kit" && timeout 60 bash "$here/../run-in-wine" "$kit/plugmaj.exe") || status=$?
[ "$status" = 0 ] || fail "the silent installation ended with $status"
expect_installed
echo "plugmaj_e2e: silent installation registered and copied"
# Any other argument is the silent mode too, here over the installation.
status=0
(cd "$kit" && timeout 60 bash "$here/../run-in-wine" "$kit/plugmaj.exe" /h) || status=$?
[ "$status" = 0 ] || fail "plugmaj.exe /h ended with $status"
expect_installed

# 2. "h" over that installation: the files are refreshed where the command points. Eight
#    lines, the seventh blank.
echo "changed" > "$browser/quadterm.ini"
shown_run h refresh
expect_log_lines refresh 111111010000000000
expect_installed

# 3. A .vtx document opened by the shell reaches the terminal through the association.
printf 'vid\xe9otex %.0s' $(seq 1 12) > "$out/essai.vtx"
size=$(stat -c %s "$out/essai.vtx")
chown "$wine_user:" "$out/essai.vtx" 2> /dev/null || true
as_wine_user wine start /unix "$out/essai.vtx" > "$out/start.log" 2>&1 ||
    fail "wine start could not open the document (log: $out/start.log)"
cat > "$out/quadterm.txt" << SCRIPT
attach quadterm.exe timeout=15000
wait-window class=CQuadterm title="Terminal videotex Quadterm"
expect 101 text="Document : essai.vtx"
expect 102 text="Taille : $size octets"
screenshot \${ARTEFACTS}/quadterm.bmp
close
wait-exit code=0
SCRIPT
run_driver "$out/quadterm.txt" ARTEFACTS="$out" > "$out/quadterm.log" ||
    fail "the terminal did not show the document (log: $out/quadterm.log)"
echo "plugmaj_e2e: the association opened essai.vtx ($size bytes) in the terminal"

# 4. "d": files and keys go. Eight lines, no directory line on this path.
shown_run d removal
expect_log_lines removal 111111010000000000
expect_removed

# 5. "H" on a clean machine: the first installation, shown. Fifteen lines.
shown_run H install
expect_log_lines install 111111111111101000
expect_installed

# 6. "d" twice: the second finds nothing and says so in nine lines.
shown_run d removal2
expect_removed
shown_run d removal3
expect_log_lines removal3 111111101000000000
expect_removed

elapsed=$((($(date +%s%N) - started) / 1000000))
echo "plugmaj_e2e: passed in $((elapsed / 1000)).$((elapsed % 1000 / 100)) s (artefacts in $out)"
