#!/bin/bash
# kitflow_e2e.sh TEST_BUILD_DIR PROGRAMS_BUILD_DIR
# The real kitassist.exe under Wine (Windows 98) through the installation itself: the entry
# field holding a directory with blanks, kept across a repaint; the platform's folder browser
# (SelectDir) answered with Cancel and with a folder of the desktop; CopyFiles starting the real
# kitextract.exe, which copies the kit's payload into that directory, and writing the desktop
# shortcut, read back through the shell by lnkinfo.exe; ExeEspace and ExeAbonnement starting the
# installed programs (marker programs) from the directory with blanks.
set -euo pipefail
here=$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")
# shellcheck source=tests/wine/wine-env.sh
source "$here/../wine-env.sh"

win32_dir=$1
programs_dir=$2
driver=$win32_dir/tests/driver/testdrv.exe
lnkinfo=$win32_dir/tests/driver/lnkinfo.exe
out=$wine_artefacts/kitflow
kit="$out/Kit CD"
payload=$kit/contenu
install="$out/Mes Programmes/Telvora"
# The Wine user's desktop, as the wizard and the folder browser see it: C:\users\<user>\Desktop.
desktop_win="C:\\users\\$wine_user\\Desktop"
desktop=$wine_prefix/drive_c/users/$wine_user/Desktop
# A folder of the desktop for the browser to offer. Its name sorts after the desktop's own items
# (Documents, My Computer, Trash...), so that End selects it in the browser's tree.
chosen_name="Zone Telvora"
link="$desktop/Espace Telvora.lnk"

fail() {
    echo "kitflow_e2e: $*" >&2
    exit 1
}
# The Windows form of a host path (drive Z: is the host root).
winpath() { printf 'Z:%s' "${1//\//\\}"; }

# What lies outside the artefacts folder goes at the end, and before, in case a killed run left
# it behind.
clean_desktop() {
    rm -f "$link"
    # Wine's menu builder mirrors a desktop shortcut as a .desktop file of the Unix desktop.
    rm -f "$desktop/Espace Telvora.desktop"
    rm -rf "${desktop:?}/$chosen_name"
}
clean_desktop
trap clean_desktop EXIT
[ -d "$desktop" ] || fail "the Wine user has no desktop folder at $desktop"

rm -rf "$out"
make_wine_user_dir "$out"
make_wine_user_dir "$kit"
make_wine_user_dir "$desktop/$chosen_name"

cp "$programs_dir/kitassist/kitassist.exe" "$programs_dir/tools/kitextract/kitextract.exe" "$kit/"
# The payload: the two programs the wizard starts afterwards (marker programs that record their
# start beside themselves), one of them in a subfolder, and a text file with an accent in its
# name, in a subfolder too.
mkdir -p "$payload/Inscription" "$payload/Notes"
cp "$programs_dir/tools/appmarker/appmarker.exe" "$payload/espace.exe"
cp "$programs_dir/tools/appmarker/appmarker.exe" "$payload/Inscription/abonne.exe"
printf 'Présentation du Kit Telvora\r\n' | iconv -f UTF-8 -t CP1252 > "$payload/Notes/Présentation.txt"

# Pakonel.ini in Windows-1252 with CR LF line ends. The same first page whatever the browser.
first_page() {
    cat << 'INI'
1=#12#gRépertoire d'installation
2=#10Indiquez où installer le Kit Telvora :
Saisie=#pfTelvora
PosSaisie=30
SizeSaisie=440
Info1=Parcourir...
ProcInfo1=SelectDir
Suivant=Installer+
ProcSuivant=CopyFiles
SectionSuivant=Lancement
Quitter=Quitter
INI
}
{
    cat << 'INI'
[General]
Titre=Installation du Kit Telvora
Extractible=kitextract.exe
Espace=espace.exe
Abonnement=Inscription\abonne.exe
RaccEspace=Espace Telvora
INI
    for section in NOIE IE3 IE45; do
        printf '\n[%s]\n' "$section"
        first_page
    done
    cat << 'INI'

[Lancement]
1=#12#gLe Kit Telvora est installé
Info1=Espace Telvora
ProcInfo1=ExeEspace
Info2=Abonnement
ProcInfo2=ExeAbonnement
Quitter=Terminer+
INI
} | iconv -f UTF-8 -t CP1252 | sed 's/$/\r/' > "$kit/Pakonel.ini"
chown -R "$wine_user:" "$out" 2> /dev/null || true

install_win=$(winpath "$install")
started=$SECONDS
bash "$here/../run-in-wine" "$driver" "$here/kitflow_e2e.txt" KIT="$kit" EXE="$kit/kitassist.exe" \
    INSTALL="$install" INSTALLWIN="$install_win" CHOSEN="$desktop_win\\$chosen_name" \
    ARTEFACTS="$out" | tee "$out/flow.log"
[ "${PIPESTATUS[0]}" = 0 ] || fail "the installation flow failed (log: $out/flow.log)"
echo "kitflow_e2e: the wizard's flow took $((SECONDS - started)) s"

# The payload, copied whole into the directory with blanks, and the log beside it.
for file in espace.exe Inscription/abonne.exe Notes/Présentation.txt; do
    cmp -s "$payload/$file" "$install/$file" || fail "$file was not copied into $install"
done
log=$(iconv -f CP1252 -t UTF-8 "$install/kitextract.log" | tr -d '\r') ||
    fail "no kitextract.log in $install"
grep -q -F "Présentation.txt" <<< "$log" || fail "kitextract.log names no Présentation.txt: $log"
grep -q -F ", 0 erreur(s)" <<< "$log" || fail "kitextract.log reports errors: $log"

# Each program started once, from the directory with blanks.
for marker in "$install/appmarker.txt" "$install/Inscription/appmarker.txt"; do
    [ "$(wc -l < "$marker")" = 1 ] || fail "$marker does not hold one line: $(cat "$marker")"
done

# The desktop shortcut, as the shell reads it back.
[ -f "$link" ] || fail "no shortcut $link"
# The show command as written in the file's header (4 bytes at 0x3C): the wizard asks for 0.
# The shell reads any value but 1, 3 and 7 back as 1 (a normal window), so lnkinfo shows 1.
stored_show=$(od -A n -t u4 -j 60 -N 4 "$link" | tr -d ' ')
[ "$stored_show" = 0 ] || fail "the shortcut's stored show command is $stored_show, not 0"
info=$(bash "$here/../run-in-wine" "$lnkinfo" "$desktop_win\\Espace Telvora.lnk" | tr -d '\r') ||
    fail "lnkinfo cannot read the shortcut: $info"
printf '%s\n' "$info" | tee "$out/lnkinfo.txt"
expect_line() {
    grep -q -x -F "$1" <<< "$info" || fail "the shortcut has no line '$1': $info"
}
expect_line "target=$install_win\\espace.exe"
expect_line "workdir=$install_win"
expect_line "description=Espace Telvora"
expect_line "icon=$install_win\\espace.exe,0"
expect_line "show=1"
expect_line "arguments="

# The screenshots show drawing, and the field looks the same before and after the repaint.
for shot in page_installation champ_avant champ_apres parcourir page_lancement; do
    file=$out/$shot.bmp
    [ "$(head -c 2 "$file")" = BM ] || fail "$file is not a .bmp file"
    convert "$file" "$out/$shot.png"
    colours=$(convert "$file" -format %k info:)
    [ "$colours" -gt 2 ] || fail "$file has only $colours colours: nothing drawn?"
done
differing=$(compare -metric AE "$out/champ_avant.bmp" "$out/champ_apres.bmp" null: 2>&1 || true)
[ "$differing" = 0 ] || fail "the entry field looks different after the repaint ($differing pixels)"

echo "kitflow_e2e: passed (artefacts in $out)"
