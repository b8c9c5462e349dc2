#!/bin/bash
# two_wizards_e2e.sh TEST_BUILD_DIR PROGRAMS_BUILD_DIR
# Two copies of a wizard at once under Wine (Windows 98):
# - a second cnxassist.exe started while one shows its pages says that the assistant is already
#   open and ends with 0, touching nothing; the first goes on and is quit as usual; once it has
#   ended, a new one starts normally;
# - two plugmaj.exe silent installations at once, on a PC without the plug-in and then with it:
#   both end with 0, the plug-in's files are the kit's and its open command is whole.
set -euo pipefail
here=$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")
# shellcheck source=tests/wine/wine-env.sh
source "$here/../wine-env.sh"

win32_dir=$1
programs_dir=$2
driver=$win32_dir/tests/driver/testdrv.exe
out=$wine_artefacts/two_wizards
kit=$out/kit
browser=$wine_prefix/drive_c/IE2
started=$(date +%s%N)
rm -rf "$out" "$browser"
make_wine_user_dir "$out"
make_wine_user_dir "$kit"
make_wine_user_dir "$browser"

fail() {
    echo "two_wizards_e2e: $*" >&2
    exit 1
}
run_driver() {
    bash "$here/../run-in-wine" "$driver" "$@"
}
reg() {
    as_wine_user wine reg "$@"
}

cp "$programs_dir/cnxassist/cnxassist.exe" "$programs_dir/plugmaj/plugmaj.exe" \
    "$programs_dir/tools/quadterm/quadterm.exe" "$programs_dir/tools/quadterm/quadterm.ini" "$kit/"
echo "stand-in" > "$kit/ISIGNUP.EXE"
convert -size 60x40 xc:'#1060a0' "BMP3:$kit/logo.bmp"
{
    printf '[General]\r\nTx=0\r\nTy=0\r\nTl=641\r\nTh=400\r\nCx=10\r\nCy=60\r\nCl=600\r\nCh=240\r\n'
    printf 'Precx=100\r\nPrecy=330\r\nSuivx=400\r\nSuivy=330\r\nQuitx=250\r\nQuity=330\r\n'
    printf 'NbBitmaps=1\r\nNomBitmap1=logo.bmp\r\nBmpx1=10\r\nBmpy1=10\r\n'
    printf 'Titre=Connexion \xe0 Telvora\r\n'
    printf '[IdentWindow]\r\nSuivants=Etape1\r\nMessage=Syst\xe8me non support\xe9\r\n'
    printf '[Etape1]\r\nSuivants=Etape2\r\nPresencePrecedent=2\r\nPresenceSuivant=2\r\nPresenceQuitter=2\r\n'
    printf '[Etape2]\r\nSuivants=Etape2\r\nPresencePrecedent=2\r\nPresenceSuivant=1\r\nPresenceQuitter=2\r\n'
} > "$kit/cfg.ini"
chown -R "$wine_user:" "$kit" 2> /dev/null || true

# 1. Two connection wizards. The first is started as the user would, outside the driver, whose
#    current program becomes the second one; the first is found again by its window.
(cd "$kit" && timeout 120 bash "$here/../run-in-wine" "$kit/cnxassist.exe") > "$out/first.log" 2>&1 &
first=$!
cat > "$out/two.txt" << 'SCRIPT'
timeout 20000
attach cnxassist.exe
wait-window class=#32770 title="Connexion à Telvora"
click 1064
expect 1064 visible=1 enabled=0
say the first wizard shows its second page
start cwd=${KIT} ${EXE}
msgbox caption="Assistant de connexion Telvora" text="L'assistant de connexion Telvora est déjà ouvert. Terminez-le avant de le relancer." press=IDOK
wait-exit code=0
say the second one said so and ended with 0
wait-window class=#32770 title="Connexion à Telvora" process=any
expect 1064 visible=1 enabled=0
screenshot ${ARTEFACTS}/first-still-there.bmp
say the first one still shows its second page
click 1065
msgbox press=IDYES process=any
wait-no-window class=#32770 title="Connexion à Telvora" process=any
sleep 500
SCRIPT
run_driver "$out/two.txt" KIT="$kit" EXE="$kit/cnxassist.exe" ARTEFACTS="$out" > "$out/two.log" ||
    fail "two connection wizards (log: $out/two.log)"
status=0
wait $first || status=$?
[ "$status" = 1 ] || fail "the first wizard ended with $status, not 1 (log: $out/first.log)"
cat > "$out/again.txt" << 'SCRIPT'
start cwd=${KIT} ${EXE}
wait-window class=#32770 title="Connexion à Telvora"
click 1065
msgbox press=IDYES
wait-exit code=1
SCRIPT
run_driver "$out/again.txt" KIT="$kit" EXE="$kit/cnxassist.exe" > "$out/again.log" ||
    fail "a wizard started after the first one ended (log: $out/again.log)"
echo "two_wizards_e2e: a second connection wizard steps back; a new one starts once the first ended"

# 2. Two plug-in installers at once. The browser's folder and the plug-in's keys are given back
#    as they were at the end, for the tests that follow in the same prefix.
classes='HKLM\Software\Classes'
mime='MIME\Database\Content Type\application/x-quadrel'
app_paths='HKLM\Software\Microsoft\Windows\CurrentVersion\App Paths\IEXPLORE.EXE'
browser_path=$(reg query "$app_paths" /v Path 2> /dev/null | tr -d '\r' |
    sed -n 's/^ *Path *REG_SZ *//p') || true
give_back() {
    for key in .vtx vtxfile "$mime"; do reg delete "$classes\\$key" /f > /dev/null 2>&1 || true; done
    if [ -n "$browser_path" ]; then
        reg add "$app_paths" /v Path /d "$browser_path" /f > /dev/null 2>&1 || true
    else
        reg delete "$app_paths" /v Path /f > /dev/null 2>&1 || true
    fi
    rm -rf "$browser"
}
trap give_back EXIT
reg add "$app_paths" /v Path /d 'C:\IE2;' /f > /dev/null
for round in 1 2 3 4; do
    if [ $((round % 2)) = 1 ]; then
        for key in .vtx vtxfile "$mime"; do reg delete "$classes\\$key" /f > /dev/null 2>&1 || true; done
        rm -f "$browser/quadterm.exe" "$browser/quadterm.ini"
    fi
    pids=()
    for n in 1 2; do
        (cd "$kit" && timeout 60 bash "$here/../run-in-wine" "$kit/plugmaj.exe") &
        pids+=($!)
    done
    for pid in "${pids[@]}"; do
        status=0
        wait "$pid" || status=$?
        [ "$status" = 0 ] || fail "round $round: a plug-in installer ended with $status"
    done
    cmp -s "$kit/quadterm.exe" "$browser/quadterm.exe" || fail "round $round: quadterm.exe differs"
    cmp -s "$kit/quadterm.ini" "$browser/quadterm.ini" || fail "round $round: quadterm.ini differs"
    command=$(reg query "$classes\\vtxfile\\Shell\\open\\command" | tr -d '\r' | iconv -f CP850 -t UTF-8)
    grep -q -E '^ +\(Default\) +REG_SZ +C:\\IE2\\quadterm\.exe %1$' <<< "$command" ||
        fail "round $round: the open command is $command"
done
echo "two_wizards_e2e: two plug-in installers at once, 4 rounds: both end, files and keys whole"

elapsed=$((($(date +%s%N) - started) / 1000000))
echo "two_wizards_e2e: passed in $((elapsed / 1000)).$((elapsed % 1000 / 100)) s (artefacts in $out)"
