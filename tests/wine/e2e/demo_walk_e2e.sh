#!/bin/bash
# demo_walk_e2e.sh TEST_BUILD_DIR PROGRAMS_BUILD_DIR
# The demonstration kit walked under Wine on both paths by tools/demo/walk-wine (as the main job
# does), then checked: what each path must have left on the PC, and that the pages look as on
# Windows 98 (no white patch where an earlier page was erased).
set -euo pipefail
here=$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")
root=$(cd "$here/../../.." && pwd)
# shellcheck source=tests/wine/wine-env.sh
source "$here/../wine-env.sh"
# shellcheck source=tests/wine/fidelity.sh
source "$here/../fidelity.sh"

out=$wine_artefacts/demo-walk
fail() {
    echo "demo_walk_e2e: $*" >&2
    exit 1
}
"$root/tools/demo/walk-wine" "$1" "$2" "$out" || fail "the walk failed"

# expect PATH TEXT: the report of PATH holds the line TEXT (blanks squeezed). Letter case is
# ignored: a value name keeps the case it was first written with (EnableAutoDial, written by
# the sign-up steps, before the browser step's script writes EnableAutodial).
# grep reads the whole report (no -q): quitting at the first match would end tr with SIGPIPE,
# which pipefail takes for a failure once the report is longer than a pipe holds.
expect() {
    tr -s ' ' < "$out/$1/rapport.txt" | grep -x -F -i -- "$2" > /dev/null ||
        fail "the report of path $1 has no line '$2' (see $out/$1/rapport.txt)"
}
for path in nouveau abonne; do
    expect $path " InternetProfile REG_SZ Telvora"
    expect $path " NameServer REG_SZ 194.206.16.1,194.206.16.2"
    expect $path " Start Page REG_SZ http://www.telvora.fr/"
    expect $path " Ancienne page d'accueil REG_SZ http://www.ancien-fournisseur.fr/"
    expect $path " Window Title REG_SZ Internet Explorer 4 - Telvora"
    expect $path " EnableAutodial REG_BINARY 01000000"
    expect $path "modele_0.ins : effacé à la fin de l'assistant"
    expect $path "target=C:\\Program Files\\Telvora\\espace.exe"
    expect $path "Bureau=1"
    expect $path "Bureau=0"
    grep -q -F "Search Page" "$out/$path/rapport.txt" && fail "path $path kept the Search Page"
    [ "$(ls "$out/$path/pages" | wc -l)" -ge 12 ] || fail "path $path has too few page screenshots"
done
# The new subscription: the prefix typed before the registration number, the plug-in installed,
# the modem location's long-distance prefix.
expect nouveau " Phone_Number REG_SZ 0,0860765432"
expect nouveau " (Default) REG_SZ vtxfile"
expect nouveau " LongDistanceAccess REG_SZ 0,"
# The existing subscriber: the identifiers in modele_0.ins, the mail account's display names.
expect abonne " Name REG_SZ mdurand"
expect abonne " Email_address REG_SZ martine.durand@telvora.fr"
expect abonne " SMTP Display Name REG_SZ martine.durand"
grep -q -F ".vtx" "$out/abonne/rapport.txt" && fail "the existing subscriber chose no Quadrel"

# The walk ends with the kit's removal, started from the entry's UninstallString: the entry as
# the control panel lists it, then nothing of the kit left but the subscriber's settings, and
# the uninstaller's copy in the temporary folder left to WININIT.INI (Windows 98's way).
for path in nouveau abonne; do
    expect $path " DisplayName REG_SZ Installation du Kit Telvora"
    # The short path, without blanks: Windows 95's control panel runs it unquoted.
    grep -q -E -i '^ +UninstallString +REG_SZ +C:\\[^ "]*\\KITSUPPR\.EXE /supprimer$' \
        "$out/$path/rapport.txt" || fail "path $path: no UninstallString with the short path"
    expect $path "C:\\Program Files\\Telvora : supprimé"
    expect $path "Raccourci « Espace Telvora » : supprimé"
    expect $path "Module vidéotex : non inscrit"
    grep -q -E '^Inscription KitTelvora-[0-9A-F]{8} : supprimée$' "$out/$path/rapport.txt" ||
        fail "path $path: the kit's entry is still there"
    grep -q -E -i '^NUL=[A-Z]:\\.*\\KITSUPPR\.EXE$' "$out/$path/rapport.txt" ||
        fail "path $path: WININIT.INI does not delete the uninstaller's copy"
    [ -f "$out/$path/pages/97-suppression-fin.png" ] || fail "path $path: no picture of the last box"
done

# The last page follows the pages it erased: with Windows 98's colours an erased item leaves
# the dialog's grey, never a white patch. The page area (left of it, the side picture).
for path in nouveau abonne; do
    page=$(ls "$out/$path/pages/"*-cnxassist-FinTelvora.png)
    white=$(convert "$page" -crop 430x280+153+32 +repage -fill black +opaque white \
        -format '%[fx:round(mean*w*h)]' info:)
    [ "$white" = 0 ] || fail "$page has $white white pixels in its page area"
done
# The kit wizard's page change wipes what the previous page drew: the first page's red warning
# line (y 245 to 275 of the window) is gone from the directory page, which draws nothing there.
red_pixels() {
    convert "$1" -crop 500x30+0+245 +repage -fill black +opaque '#FF0000' \
        -format '%[fx:round(mean*w*h)]' info:
}
for path in nouveau abonne; do
    pages=$out/$path/pages
    [ "$(red_pixels "$pages/01-kitassist-IE45.png")" -gt 50 ] ||
        fail "the first page of path $path shows no red warning line where it is expected"
    left=$(red_pixels "$pages/02-kitassist-Repertoire.png")
    [ "$left" = 0 ] || fail "the directory page of path $path still shows $left red pixels of the first page"
done
[ -s "$out/planche.png" ] || fail "no contact sheet"

# The plug-in installer's log window, hidden in the kit's silent run, in a run of its own,
# named as kitpreview names it: plugmaj-<the step that starts it>. The walk ended with the kit's
# removal, so the installation folder is filled again from the CD as the extraction fills it,
# and the plug-in's keys and files are cleared; both go once the picture is taken.
plug_shots=$wine_artefacts/demo-plugmaj
install=$wine_prefix/drive_c/Program\ Files/Telvora
rm -rf "$plug_shots"
make_wine_user_dir "$plug_shots"
mkdir -p "$out/plugmaj/pages" "$install"
cp -r "$wine_artefacts/demo-cd/contenu/." "$install/"
chown -R "$wine_user:" "$install" 2> /dev/null || true
for key in .vtx vtxfile 'MIME\Database\Content Type\application/x-quadrel'; do
    # "\$" would escape the dollar sign: the backslash before the name is written twice.
    as_wine_user wine reg delete "HKLM\\Software\\Classes\\$key" /f > /dev/null 2>&1 || true
done
rm -f "$wine_prefix/drive_c/Program Files/Internet Explorer/quadterm."*
bash "$here/../run-in-wine" "$1/tests/driver/testdrv.exe" "$here/demo_plugmaj_log.txt" \
    SHOT="$plug_shots/01-plugmaj-InstalleQuadrelTerminal.bmp" > "$out/plugmaj/pilote.log" 2>&1 ||
    fail "the plug-in installer's shown run failed (log: $out/plugmaj/pilote.log)"
convert "$plug_shots/01-plugmaj-InstalleQuadrelTerminal.bmp" \
    "$out/plugmaj/pages/01-plugmaj-InstalleQuadrelTerminal.png"
rm -rf "$install" "$wine_prefix/drive_c/Program Files/Internet Explorer/quadterm."*

# The simulated machine's pictures of the same pages (kitpreview, from the host build beside
# the Wine state) against Wine's screenshots: the share of identical pixels in the client area
# may not fall below what it reached (the table is kept in fidelite.txt).
fidelity_floor=${TELVORA_FIDELITY_FLOOR:-99.2}
compare_with_preview "$fidelity_floor" "$out/fidelite.txt" "$out/nouveau/pages" \
    "$out/abonne/pages" "$out/plugmaj/pages" ||
    fail "a page of the simulated machine is below ${fidelity_floor} % of Wine's pixels"
echo "demo_walk_e2e: passed (output in $out)"
