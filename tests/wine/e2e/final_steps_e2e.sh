#!/bin/bash
# final_steps_e2e.sh TEST_BUILD_DIR PROGRAMS_BUILD_DIR
# The real cnxassist.exe under Wine through the steps that work by themselves: InstalleQuadrel
# with the real plugmaj.exe (its silent installation checked in HKCR), InitModem on a seeded
# telephon.ini (the Windows 95 path, forced through the version Wine reports to the wizard) and
# on seeded registry locations (the Windows 98 path), LanceAppli starting the marker program
# through App Paths from a folder with blanks, with a page argument holding blanks too (each
# must arrive as one argument), Icone, and Fin with the restart prompt (a stub in this Wine:
# nothing shows and the run ends as after a No). Last, a fatal error of InitModem: after its
# box the run ends, and neither LanceAppli nor Icone runs.
set -euo pipefail
here=$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")
# shellcheck source=tests/wine/wine-env.sh
source "$here/../wine-env.sh"
# shellcheck source=tests/wine/kit-helpers.sh
source "$here/../kit-helpers.sh"

win32_dir=$1
programs_dir=$2
driver=$win32_dir/tests/driver/testdrv.exe
out=$wine_artefacts/final_steps
kit=$out/kit
apps="$out/Mes applis"
browser=$wine_prefix/drive_c/IE
rm -rf "$out" "$browser"
make_wine_user_dir "$out"
make_wine_user_dir "$kit"
make_wine_user_dir "$apps"
make_wine_user_dir "$browser"

fail() {
    echo "final_steps_e2e: $*" >&2
    exit 1
}

cp "$programs_dir/cnxassist/cnxassist.exe" "$programs_dir/plugmaj/plugmaj.exe" \
    "$programs_dir/tools/quadterm/quadterm.exe" "$programs_dir/tools/quadterm/quadterm.ini" "$kit/"
cp "$programs_dir/tools/isignup/ISIGNUP.exe" "$kit/ISIGNUP.EXE"
cp "$programs_dir/tools/appmarker/appmarker.exe" "$apps/"

{
    general_section
    cat << 'INI'
[IdentWindow]
Suivants=PreInscription1
Message=Système non supporté
[PreInscription1]
Suivants=InstalleQuadrel1
Description=prefixe.txt
PresenceSuivant=2
[InstalleQuadrel1]
Suivants=InitModem1
NomExe=plugmaj.exe
[InitModem1]
Suivants=LanceAppli1
[LanceAppli1]
Suivants=Icone1
NomApplication=appmarker
NomPage=ma page d'accueil.htm
[Icone1]
Suivants=Fin1
NomFichier=icones.ini
NomVariable=Visible
Icone0=1
Icone3=0
Icone4=7
[Fin1]
Suivants=Fin1
Description=fin.txt
PresenceSuivant=3
INI
} | kit_file cfg.ini
kit_file prefixe.txt << 'PAGE'
fenetre(0,300,100)
((ctexte,9,300,50,"Préfixe pour obtenir une ligne extérieure :") sur (saisie,1,300,25,"0"))
PAGE
kit_file fin.txt << 'PAGE'
fenetre(0,300,100)
(ctexte,9,300,100,"L'installation est terminée. Redémarrez l'ordinateur pour en profiter.")
PAGE
kit_file icones.ini << 'INI'
[Icone4]
Visible=ancien
INI
chown -R "$wine_user:" "$kit" "$apps" 2> /dev/null || true

run_driver() {
    bash "$here/../run-in-wine" "$driver" "$@"
}

classes='HKLM\Software\Classes'
locations='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Telephony\Locations'
appdefaults='HKCU\Software\Wine\AppDefaults\cnxassist.exe'
for key in .vtx vtxfile; do reg delete "$classes\\$key" /f > /dev/null 2>&1 || true; done
reg add 'HKLM\Software\Microsoft\Windows\CurrentVersion\App Paths\IEXPLORE.EXE' \
    /v Path /d 'C:\IE;' /f > /dev/null
reg add 'HKLM\Software\Microsoft\Windows\CurrentVersion\App Paths\APPMARKER.EXE' \
    /ve /d "Z:${apps//\//\\}\\appmarker.exe" /f > /dev/null

# telephon.ini in the Windows directory: two locations, neither of them the modem's.
windows_dir=$wine_prefix/drive_c/windows
printf '[Locations]\r\nLocations=2,5\r\nCurrentLocation=1,1\r\n%s\r\n%s\r\n' \
    'Location0=0,"Bureau","","","1",33,0,0,1,"",0,""' \
    'Location1=1,"Maison","9","9","4",33,0,0,1,"",0,""' > "$windows_dir/telephon.ini"
chown "$wine_user:" "$windows_dir/telephon.ini" 2> /dev/null || true

# 1. Windows 95: the telephon.ini path. Wine reports 4.0 to the wizard alone.
reg add "$appdefaults" /v Version /d win95 /f > /dev/null
run_driver "$here/final_steps_e2e.txt" KIT="$kit" EXE="$kit/cnxassist.exe" ARTEFACTS="$out" |
    tee "$out/win95.log"
[ "${PIPESTATUS[0]}" = 0 ] || fail "the run on Windows 95 failed (log: $out/win95.log)"
reg delete "$appdefaults" /v Version /f > /dev/null

# The installer ran silently from the kit.
expect_value "$classes\\.vtx" '\(Default\)' REG_SZ vtxfile
[ -f "$browser/quadterm.exe" ] || fail "plugmaj.exe did not copy quadterm.exe into C:\\IE"
# The modem location: entry 2, id 5, built from entry 1 (area code 4 and the fields after the
# country kept), the prefix typed on the first page twice.
ini() { tr -d '\r' < "$windows_dir/telephon.ini"; }
grep -qx 'Location2=5,"Emplacement modem pour Telvora","0,","0,","4",33,0,0,1,"",0,""' <<< "$(ini)" ||
    fail "no modem location in telephon.ini: $(ini)"
grep -qx 'Locations=3,6' <<< "$(ini)" || fail "Locations not 3,6: $(ini)"
grep -qx 'CurrentLocation=5,2' <<< "$(ini)" || fail "CurrentLocation not 5,2: $(ini)"
grep -q 'TelephonINIChanged=20[0-9][0-9]-' "$windows_dir/win.ini" || fail "no change stamp in win.ini"
# The application, through App Paths, with its page beside the wizard.
# The application, through App Paths, from its folder with blanks, with its page beside the
# wizard as one argument (the marker writes each argument between brackets).
grep -qix '\[[^][]*\\kit\\ma page d.accueil\.htm\]' <<< "$(tr -d '\r' < "$apps/appmarker.txt")" ||
    fail "appmarker.txt: $(cat "$apps/appmarker.txt")"
# The icons.
tr -d '\r' < "$kit/icones.ini" > "$out/icones.txt"
grep -A1 -x '\[Icone0\]' "$out/icones.txt" | grep -qx 'Visible=1' || fail "Icone0: $(cat "$out/icones.txt")"
grep -A1 -x '\[Icone3\]' "$out/icones.txt" | grep -qx 'Visible=0' || fail "Icone3: $(cat "$out/icones.txt")"
grep -A1 -x '\[Icone4\]' "$out/icones.txt" | grep -qx 'Visible=ancien' || fail "Icone4 changed"
echo "final_steps_e2e: the Windows 95 run passed"

# 2. Windows 98: the registry path changes the current location's access prefix.
cp "$windows_dir/telephon.ini" "$out/telephon.before"
reg delete "$locations" /f > /dev/null 2>&1 || true
reg add "$locations" /v CurrentID /t REG_DWORD /d 7 /f > /dev/null
reg add "$locations\\Location0" /v ID /t REG_DWORD /d 3 /f > /dev/null
reg add "$locations\\Location0" /v AreaCode /d 1 /f > /dev/null
reg add "$locations\\Location1" /v ID /t REG_DWORD /d 7 /f > /dev/null
reg add "$locations\\Location1" /v AreaCode /d 08 /f > /dev/null
reg add "$locations\\Location1" /v OutsideAccess /d 9 /f > /dev/null
reg add "$locations\\Location1" /v LongDistanceAccess /d 9 /f > /dev/null
run_driver "$here/final_steps_e2e.txt" KIT="$kit" EXE="$kit/cnxassist.exe" ARTEFACTS="$out" \
    > "$out/win98.log" || fail "the run on Windows 98 failed (log: $out/win98.log)"
expect_value "$locations\\Location1" OutsideAccess REG_SZ '0,'
expect_value "$locations\\Location1" LongDistanceAccess REG_SZ 9
cmp -s "$windows_dir/telephon.ini" "$out/telephon.before" || fail "telephon.ini changed on Windows 98"
[ "$(grep -c . "$apps/appmarker.txt")" = 2 ] || fail "the application did not start again"

# 3. Windows 95 without telephon.ini: InitModem's fatal error. After its box nothing of the
# later steps happens: no application started, no icon written.
cp "$kit/icones.ini" "$out/icones.before"
rm -f "$windows_dir/telephon.ini"
reg add "$appdefaults" /v Version /d win95 /f > /dev/null
run_driver "$here/final_steps_fatal_e2e.txt" KIT="$kit" EXE="$kit/cnxassist.exe" \
    > "$out/fatal.log" || fail "the run with a fatal error failed (log: $out/fatal.log)"
reg delete "$appdefaults" /v Version /f > /dev/null
[ "$(grep -c . "$apps/appmarker.txt")" = 2 ] || fail "the application started after the fatal error"
cmp -s "$kit/icones.ini" "$out/icones.before" || fail "icones.ini was written after the fatal error"

for shot in "$out"/*.bmp; do convert "$shot" "${shot%.bmp}.png"; done
echo "final_steps_e2e: passed (artefacts in $out)"
