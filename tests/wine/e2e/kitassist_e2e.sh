#!/bin/bash
# kitassist_e2e.sh TEST_BUILD_DIR PROGRAMS_BUILD_DIR
# The real kitassist.exe under Wine (Windows 98) with a Pakonel.ini of its own: the first page
# chosen from a seeded browser version, buttons moving between sections, programs started
# through Exe keys (absolute, "?" with arguments, relative and quoted), the entry field, the
# wizard closed by an Exe key and by Quitter, and the page without any configuration.
set -euo pipefail
here=$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")
# shellcheck source=tests/wine/wine-env.sh
source "$here/../wine-env.sh"

win32_dir=$1
programs_dir=$2
driver=$win32_dir/tests/driver/testdrv.exe
out=$wine_artefacts/kitassist
kit="$out/Kit CD"
bare=$out/sans_config
# What the started programs write, and a program named by an absolute path: on drive C: of the
# prefix, so that the command lines stay within the 127 characters of an Exe value.
records=$wine_prefix/drive_c/telvora
rm -rf "$out" "$records"
make_wine_user_dir "$out"
make_wine_user_dir "$kit"
make_wine_user_dir "$bare"
make_wine_user_dir "$records"

fail() {
    echo "kitassist_e2e: $*" >&2
    exit 1
}
# The Windows form of a host path (drive Z: is the host root).
winpath() { printf 'Z:%s' "${1//\//\\}"; }

cp "$programs_dir/kitassist/kitassist.exe" "$kit/"
cp "$programs_dir/kitassist/kitassist.exe" "$bare/"
cp "$win32_dir/tests/test_child.exe" "$kit/"
cp "$win32_dir/tests/test_child.exe" "$records/"
convert -size 120x80 gradient:'#1c4f9c'-'#f2c200' -fill white -draw 'rectangle 50,10 70,70' \
    "BMP3:$kit/logo.bmp"
kit_win=$(winpath "$kit")
printf '@echo off\r\necho lance> C:\\telvora\\marque.txt\r\n' > "$kit/marque.bat"

# Pakonel.ini in Windows-1252 with CR LF line ends.
iconv -f UTF-8 -t CP1252 << INI | sed 's/$/\r/' > "$kit/Pakonel.ini"
[General]
Titre=Installation du Kit Telvora
Extractible=extract.exe
Espace=espace.exe
RaccEspace=Espace Telvora

[NOIE]
1=#14#gAucun navigateur
Info1=Sans navigateur
Quitter=Quitter

[IE3]
1=#14#gInternet Explorer 3
Info1=Version 3
Quitter=Quitter

[IE45]
Bitmap=logo.bmp
xt=170
yt=20
1=#14#g#a#UBienvenue dans l'installation
2=#14#g#a#Udu Kit Telvora
3=#08§
4=#10#iVotre navigateur : Internet Explorer 4 ou 5.
5=#r#B#gÉtape 1 sur 2
6=#10Cliquez sur Suivant pour continuer.
7=#d#c#R#sPage d'accueil
Suivant=Suivant+
Quitter=Quitter
Info1=Aide
SectionInfo1=Aide
Exe1Suivant=C:\\telvora\\test_child.exe record C:\\telvora\\exe1.txt premier
Exe3Suivant=?test_child.exe record C:\\telvora\\exe3.txt "deux mots" /s
Exe2Suivant=marque.bat
SectionSuivant=Repertoire

[Aide]
1=#12#g#tAide
2=#m#u#BLe Kit installe l'accès à Internet de Telvora.
Precedent=Retour+
SectionPrecedent=IE45

[Repertoire]
1=#12#gRépertoire d'installation
2=#c#VIndiquez où installer le Kit :
Saisie=#pfTelvora
PosSaisie=30
SizeSaisie=440
Precedent=Précédent
SectionPrecedent=IE45
Annuler=Annuler#
SectionAnnuler=IE45
Suivant=Installer
ExeSuivant=?test_child.exe record C:\\telvora\\installe.txt fin
INI
chown -R "$wine_user:" "$out" 2> /dev/null || true

run_driver() {
    bash "$here/../run-in-wine" "$driver" "$@"
}
reg() {
    as_wine_user wine reg "$@"
}

# The browser version decides the first page; the prefix's own value comes back at the end.
ie_key='HKLM\Software\Microsoft\Internet Explorer'
saved_version=$(reg query "$ie_key" /v Version 2> /dev/null | tr -d '\r' |
    awk '/Version/ {print $3}' || true)
restore_version() {
    if [ -n "$saved_version" ]; then
        reg add "$ie_key" /v Version /d "$saved_version" /f > /dev/null 2>&1 || true
    else
        reg delete "$ie_key" /v Version /f > /dev/null 2>&1 || true
    fi
}
# The prefix has no Arial, Times New Roman nor Courier New (their licence keeps them out of
# Debian): for the screenshots, Wine draws them with the DejaVu faces of the same kinds.
# The prefix's own replacements (the Liberation faces) come back afterwards: without them Wine
# would match these names by pitch alone, and the Wine tests run later (the demonstration walk's
# fidelity check) would see "Arial" asked with a fixed pitch drawn in Liberation Mono.
replacements='HKCU\Software\Wine\Fonts\Replacements'
declare -A saved_faces=()
for face in Arial 'Times New Roman' 'Courier New'; do
    saved_faces[$face]=$(reg query "$replacements" /v "$face" 2> /dev/null | tr -d '\r' |
        sed -n "s/^ *$face *REG_SZ *//p" || true)
done
restore_prefix() {
    restore_version
    local face
    for face in Arial 'Times New Roman' 'Courier New'; do
        if [ -n "${saved_faces[$face]}" ]; then
            reg add "$replacements" /v "$face" /d "${saved_faces[$face]}" /f > /dev/null 2>&1 || true
        else
            reg delete "$replacements" /v "$face" /f > /dev/null 2>&1 || true
        fi
    done
}
trap restore_prefix EXIT
reg add "$replacements" /v Arial /d 'DejaVu Sans' /f > /dev/null
reg add "$replacements" /v 'Times New Roman' /d 'DejaVu Serif' /f > /dev/null
reg add "$replacements" /v 'Courier New' /d 'DejaVu Sans Mono' /f > /dev/null
reg add "$ie_key" /v Version /d 4.72.3110.8 /f > /dev/null

# 1. The walk through the pages, ended by an Exe key.
run_driver "$here/kitassist_e2e.txt" KIT="$kit" KITWIN="$kit_win" EXE="$kit/kitassist.exe" \
    OUT="$records" ARTEFACTS="$out" | tee "$out/walk.log"
[ "${PIPESTATUS[0]}" = 0 ] || fail "the walk through the pages failed (log: $out/walk.log)"

# 2. Another browser, another first page; Quitter closes the wizard.
reg add "$ie_key" /v Version /d 6.0.2800.1106 /f > /dev/null
cat > "$out/quitter.txt" << 'SCRIPT'
start cwd="${KIT}" "${EXE}"
wait-window class=#32770 title="Installation du Kit Telvora"
expect 1002 text="Sans navigateur" visible=1
click 1
wait-exit code=0
SCRIPT
run_driver "$out/quitter.txt" KIT="$kit" EXE="$kit/kitassist.exe" > "$out/quitter.log" ||
    fail "the browserless page and Quitter (log: $out/quitter.log)"

# 3. Without Pakonel.ini: the fixed title, Quitter alone, the configuration problem text.
cat > "$out/sans_config.txt" << 'SCRIPT'
start cwd=${BARE} ${BARE}/kitassist.exe
wait-window class=#32770 title="Assistant d'installation du Kit Telvora"
expect 1 text=Quitter visible=1 enabled=1
expect 1000 visible=0
screenshot ${ARTEFACTS}/sans_config.bmp
click 1
wait-exit code=0
SCRIPT
run_driver "$out/sans_config.txt" BARE="$bare" ARTEFACTS="$out" > "$out/sans_config.log" ||
    fail "the page without configuration (log: $out/sans_config.log)"

# The screenshots show drawing: text and picture, not a blank dialog.
for shot in page_accueil page_aide page_repertoire sans_config; do
    file=$out/$shot.bmp
    [ "$(head -c 2 "$file")" = BM ] || fail "$file is not a .bmp file"
    if [ -x /usr/bin/convert ]; then
        convert "$file" "$out/$shot.png"
        colours=$(convert "$file" -format %k info:)
        [ "$colours" -gt 8 ] || fail "$file has only $colours colours: nothing drawn?"
    fi
done

echo "kitassist_e2e: passed (artefacts in $out)"
