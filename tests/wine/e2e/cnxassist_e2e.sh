#!/bin/bash
# cnxassist_e2e.sh TEST_BUILD_DIR PROGRAMS_BUILD_DIR
# The real cnxassist.exe under Wine (Windows 98): three plain steps walked with the buttons and
# quit with the question; the version box; a fatal "General" error; a registry script writing
# one entry of each type, checked with reg query.
set -euo pipefail
here=$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")
# shellcheck source=tests/wine/wine-env.sh
source "$here/../wine-env.sh"

win32_dir=$1
programs_dir=$2
driver=$win32_dir/tests/driver/testdrv.exe
out=$wine_artefacts/cnxassist
kit=$out/kit
rm -rf "$out"
make_wine_user_dir "$out"
make_wine_user_dir "$kit"

fail() {
    echo "cnxassist_e2e: $*" >&2
    exit 1
}

cp "$programs_dir/cnxassist/cnxassist.exe" "$kit/"
# Any file will do as the sign-up program for these steps: the root step only looks for it.
echo "stand-in" > "$kit/ISIGNUP.EXE"
convert -size 60x40 xc:'#1060a0' "BMP3:$kit/logo.bmp"

general() {
    printf '[General]\r\nTx=0\r\nTy=0\r\nTl=641\r\nTh=400\r\nCx=10\r\nCy=60\r\nCl=600\r\nCh=240\r\n'
    printf 'Precx=100\r\nPrecy=330\r\nSuivx=400\r\nSuivy=330\r\nQuitx=250\r\nQuity=330\r\n'
    printf 'NbBitmaps=1\r\nNomBitmap1=logo.bmp\r\nBmpx1=10\r\nBmpy1=10\r\n'
    printf 'Titre=Connexion \xe0 Telvora\r\n'
    printf '[IdentWindow]\r\nSuivants=Etape1\r\nMessage=Syst\xe8me non support\xe9\r\n'
}

# Three plain steps, told apart by their buttons.
{
    general
    printf '[Etape1]\r\nSuivants=Etape2\r\nPresencePrecedent=2\r\nPresenceSuivant=3\r\nPresenceQuitter=2\r\n'
    printf '[Etape2]\r\nSuivants=Etape3\r\nPresencePrecedent=2\r\nPresenceSuivant=2\r\nPresenceQuitter=0\r\n'
    printf '[Etape3]\r\nSuivants=Etape3\r\nPresencePrecedent=2\r\nPresenceSuivant=1\r\nPresenceQuitter=2\r\n'
} > "$kit/cfg.ini"

# A "General" section without Tl.
general | sed '/^Tl=/d' > "$kit/cfgbad.ini"

# One registry entry of each type, applied when Etape1 is first reached.
src='Software\TelvoraSource'
dst='Software\TelvoraTest'
entry() {  # number type name [value]
    printf 'I0%s.Branche=HKEY_CURRENT_USER\r\nI0%s.Cle=%s\r\nI0%s.Nom=%s\r\nI0%s.Type=%s\r\n' \
        "$1" "$1" "$dst" "$1" "$3" "$1" "$2"
    if [ -n "${4:-}" ]; then printf 'I0%s.Valeur=%s\r\n' "$1" "$4"; fi
}
copy_from() {  # number source-name
    printf 'I0%s.RBranche=HKEY_CURRENT_USER\r\nI0%s.RCle=%s\r\nI0%s.RNom=%s\r\n' \
        "$1" "$1" "$src" "$1" "$2"
}
{
    general
    printf '[Etape1]\r\nSuivants=Etape1\r\nPresenceQuitter=2\r\n'
    entry 00 c Texte "$(printf 'Cl\xe9 Telvora')"
    entry 01 h Nombre 1f
    entry 02 b Octets '01,,02,ff'
    entry 03 p Chemin '~\bin\a.exe'
    entry 04 d Ancien
    entry 05 rc CopieTexte; copy_from 05 Texte
    entry 06 rh CopieNombre; copy_from 06 Nombre
    entry 07 rb CopieOctets; copy_from 07 Octets
} > "$kit/cfgreg.ini"

chown -R "$wine_user:" "$kit" 2>/dev/null || true

run_driver() {
    bash "$here/../run-in-wine" "$driver" "$@"
}
reg() {
    as_wine_user wine reg "$@"
}

# 1. The walk through the plain steps, and the quit question.
run_driver "$here/cnxassist_e2e.txt" KIT="$kit" EXE="$kit/cnxassist.exe" ARTEFACTS="$out" |
    tee "$out/walk.log"
[ "${PIPESTATUS[0]}" = 0 ] || fail "the walk through the steps failed (log: $out/walk.log)"

# 2. The version box, then exit code 1 without a window.
cat > "$out/version.txt" << 'SCRIPT'
start cwd=${KIT} ${EXE} /Ver
msgbox caption="Version Configurateur" text="Numero Version ( 1.0.0 )   \nDate Version ( 17/12/1998 )   " press=IDOK
wait-exit code=1
SCRIPT
run_driver "$out/version.txt" KIT="$kit" EXE="$kit/cnxassist.exe" > "$out/version.log" ||
    fail "the version box (log: $out/version.log)"

# 3. A fatal error in "General" ends the run with code 1.
cat > "$out/general.txt" << 'SCRIPT'
start cwd=${KIT} ${EXE} /bad
msgbox caption="Fermeture de l'assistant de connexion à Telvora" text="probleme dans la section 'General' du fichier ini" press=IDOK
wait-exit code=1
SCRIPT
run_driver "$out/general.txt" KIT="$kit" EXE="$kit/cnxassist.exe" > "$out/general.log" ||
    fail "the fatal General error (log: $out/general.log)"

# 4. The registry script.
reg add "HKCU\\$src" /v Texte /t REG_SZ /d 'copie' /f > /dev/null
reg add "HKCU\\$src" /v Nombre /t REG_DWORD /d 4660 /f > /dev/null
reg add "HKCU\\$src" /v Octets /t REG_BINARY /d 0a0b0c /f > /dev/null
reg add "HKCU\\$dst" /v Ancien /t REG_SZ /d 'a effacer' /f > /dev/null
cat > "$out/registry.txt" << 'SCRIPT'
start cwd=${KIT} ${EXE} /reg
wait-window class=#32770 title="Connexion à Telvora"
expect 1065 visible=1 enabled=1
click 1065
msgbox press=IDYES
wait-exit code=1
SCRIPT
run_driver "$out/registry.txt" KIT="$kit" EXE="$kit/cnxassist.exe" > "$out/registry.log" ||
    fail "the registry script run (log: $out/registry.log)"
# reg writes to a pipe in the OEM code page.
reg query "HKCU\\$dst" | tr -d '\r' | iconv -f CP850 -t UTF-8 > "$out/registry.query" || fail "no key $dst"
expect_value() {  # name type data
    grep -q -E "^ +$1 +$2 +$3\$" "$out/registry.query" ||
        fail "value $1 is not $2 $3: $(cat "$out/registry.query")"
}
expect_value Texte REG_SZ 'Clé Telvora'
expect_value Nombre REG_DWORD 0x1f
expect_value Octets REG_BINARY 0102FF
expect_value Chemin REG_SZ 'Z:.*\\kit\\bin\\a\.exe'
expect_value CopieTexte REG_SZ copie
expect_value CopieNombre REG_DWORD 0x1234
expect_value CopieOctets REG_BINARY 0A0B0C
if grep -q Ancien "$out/registry.query"; then fail "the d entry did not delete Ancien"; fi

echo "cnxassist_e2e: passed (artefacts in $out)"
