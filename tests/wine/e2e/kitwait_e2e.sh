#!/bin/bash
# kitwait_e2e.sh TEST_BUILD_DIR PROGRAMS_BUILD_DIR
# The real kitassist.exe under Wine (Windows 98) checking what it starts: CopyFiles waits for
# an extraction that takes several seconds, its buttons disabled, and a second click on
# Installer meanwhile neither starts a second extraction nor presses the next page's button; an
# extraction that copies nothing leaves the wizard on its page with a box and no shortcut; an
# extraction program that does not start, and an Exe key's, are told in a box.
set -euo pipefail
here=$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")
# shellcheck source=tests/wine/wine-env.sh
source "$here/../wine-env.sh"

win32_dir=$1
programs_dir=$2
driver=$win32_dir/tests/driver/testdrv.exe
out=$wine_artefacts/kitwait
kit="$out/Kit CD"
# On drive C: of the prefix, so that the command lines stay short.
records=$wine_prefix/drive_c/kitwait
install="$records/Mon Kit"
desktop=$wine_prefix/drive_c/users/$wine_user/Desktop
link="$desktop/Espace Attente.lnk"

fail() {
    echo "kitwait_e2e: $*" >&2
    exit 1
}
clean_desktop() { rm -f "$link" "$desktop/Espace Attente.desktop"; }
clean_desktop
trap clean_desktop EXIT

rm -rf "$out" "$records"
make_wine_user_dir "$out"
make_wine_user_dir "$kit"
make_wine_user_dir "$records"
make_wine_user_dir "$install"
cp "$programs_dir/kitassist/kitassist.exe" "$kit/"
cp "$win32_dir/tests/test_child.exe" "$kit/"

# Pakonel.ini in Windows-1252 with CR LF, the extraction program given as $1.
write_ini() {
    iconv -f UTF-8 -t CP1252 << INI | sed 's/$/\r/' > "$kit/Pakonel.ini"
[General]
Titre=Installation du Kit Telvora
Extractible=$1
Espace=espace.exe
RaccEspace=Espace Attente

[IE45]
1=#12#gRépertoire d'installation
Saisie=C:\\kitwait\\Mon Kit
SizeSaisie=440
Suivant=Installer+
ProcSuivant=CopyFiles
SectionSuivant=Lancement
Info1=Aide
Exe1Info1=?absent.exe /a
Quitter=Quitter

[NOIE]
Quitter=Quitter
[IE3]
Quitter=Quitter

[Lancement]
1=#12#gLe Kit Telvora est installé
Suivant=Connexion+
ExeSuivant=?test_child.exe record C:\\kitwait\\connexion.txt
Quitter=Plus tard
INI
    chown -R "$wine_user:" "$out" "$records" 2> /dev/null || true
}
run_driver() { bash "$here/../run-in-wine" "$driver" "$@"; }
ie_key='HKLM\Software\Microsoft\Internet Explorer'
saved_version=$(as_wine_user wine reg query "$ie_key" /v Version 2> /dev/null | tr -d '\r' |
    awk '/Version/ {print $3}' || true)
restore_version() {
    clean_desktop
    if [ -n "$saved_version" ]; then
        as_wine_user wine reg add "$ie_key" /v Version /d "$saved_version" /f > /dev/null 2>&1 || true
    else
        as_wine_user wine reg delete "$ie_key" /v Version /f > /dev/null 2>&1 || true
    fi
}
trap restore_version EXIT
as_wine_user wine reg add "$ie_key" /v Version /d 4.72.3110.8 /f > /dev/null

# 1. Nothing copied, then no extraction program at all: a box each time, the page stays, no
# shortcut. A numbered Exe key that does not start is told too.
write_ini 'test_child.exe exit 0'
cat > "$out/echec.txt" << 'SCRIPT'
timeout 15000
start cwd="${KIT}" "${KIT}/kitassist.exe"
wait-window class=#32770 title="Installation du Kit Telvora"
click 1002
msgbox caption="Assistant d'installation du Kit Telvora" text~="absent.exe /a" press=ok
wait-window class=#32770 title="Installation du Kit Telvora"
click 1000
msgbox caption="Assistant d'installation du Kit Telvora" text~="C:\kitwait\Mon Kit\espace.exe n'a pas été copié." press=ok
wait-window class=#32770 title="Installation du Kit Telvora"
expect 1000 text=Installer visible=1 enabled=1
expect 1011 visible=1
command 1
wait-exit code=0
SCRIPT
run_driver "$out/echec.txt" KIT="$kit" | tee "$out/echec.log"
[ "${PIPESTATUS[0]}" = 0 ] || fail "the failed extraction (log: $out/echec.log)"
[ ! -e "$link" ] || fail "a shortcut was written although nothing was installed"

write_ini 'absent.exe'
cat > "$out/absent.txt" << 'SCRIPT'
timeout 15000
start cwd="${KIT}" "${KIT}/kitassist.exe"
wait-window class=#32770 title="Installation du Kit Telvora"
click 1000
msgbox text~="absent.exe /auto C:\kitwait\Mon Kit" press=ok
wait-window class=#32770 title="Installation du Kit Telvora"
expect 1000 text=Installer enabled=1
command 1
wait-exit code=0
SCRIPT
run_driver "$out/absent.txt" KIT="$kit" | tee "$out/absent.log"
[ "${PIPESTATUS[0]}" = 0 ] || fail "the missing extraction program (log: $out/absent.log)"
[ ! -e "$link" ] || fail "a shortcut was written although nothing was started"

# 2. An extraction of four seconds (which counts its runs); the Espace program is already in
# the folder. Two seconds on, the wizard still waits with Installer disabled; the second click
# posted meanwhile is dropped.
cp "$win32_dir/tests/test_child.exe" "$install/espace.exe"
chown "$wine_user:" "$install/espace.exe" 2> /dev/null || true
write_ini 'test_child.exe append C:\kitwait\extractions.txt 4000'
cat > "$out/attente.txt" << 'SCRIPT'
timeout 15000
start cwd="${KIT}" "${KIT}/kitassist.exe"
wait-window class=#32770 title="Installation du Kit Telvora"
click 1000
expect-file ${RECORDS}/extractions.txt
command 1000
expect 1000 text=Installer visible=1 enabled=0
sleep 2000
expect 1000 text=Installer visible=1 enabled=0 timeout=100
screenshot ${ARTEFACTS}/attente.bmp
expect 1000 text=Connexion visible=1 enabled=1 focused=1
sleep 1000
expect 1000 text=Connexion visible=1
command 1
wait-exit code=0
SCRIPT
started=$SECONDS
run_driver "$out/attente.txt" KIT="$kit" RECORDS="$records" ARTEFACTS="$out" | tee "$out/attente.log"
[ "${PIPESTATUS[0]}" = 0 ] || fail "the wait for the extraction (log: $out/attente.log)"
echo "kitwait_e2e: the installation with a 4 s extraction took $((SECONDS - started)) s"
runs=$(tr -d '\r' < "$records/extractions.txt")
[ "$runs" = '/auto C:\kitwait\Mon Kit' ] || fail "one extraction expected, got: $runs"
[ ! -e "$records/connexion.txt" ] || fail "the second click pressed Connexion"
[ -f "$link" ] || fail "no shortcut $link after the installation"

echo "kitwait_e2e: passed (artefacts in $out)"
