#!/bin/bash
# demo_walk_95_e2e.sh TEST_BUILD_DIR PROGRAMS_BUILD_DIR
# The demonstration kit walked under Wine reporting Windows 95 to every program
# (tools/demo/walk-wine --system 95), then checked:
# - on the Windows 95 subscriber's PC (Internet Explorer 3, telephon.ini), both paths: the kit's
#   IE3 page, the modem location added to telephon.ini and nothing to the registry's locations,
#   the browser script of the "other version" list, no mail account touched;
# - on the same PC without a browser: the NOIE page, Quitter, and nothing written at all;
# - on the Windows 98 PC (no telephon.ini) with Windows 95 reported: the new subscription stops
#   at the modem step with its fatal message, after the two entries that step writes first.
# When the Windows 98 walk of the same run (wine.e2e.demo_walk) left its lists of writes, the
# comparison of the two systems is checked too.
set -euo pipefail
here=$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")
root=$(cd "$here/../../.." && pwd)
# shellcheck source=tests/wine/wine-env.sh
source "$here/../wine-env.sh"
# shellcheck source=tests/wine/fidelity.sh
source "$here/../fidelity.sh"

out=$wine_artefacts/demo-walk-95
fail() {
    echo "demo_walk_95_e2e: $*" >&2
    exit 1
}
"$root/tools/demo/walk-wine" --system 95 "$1" "$2" "$out" nouveau abonne noie poste98 ||
    fail "the walk failed"

# has PATH FILE LINE: FILE of PATH's output holds the line LINE (blanks squeezed). No grep -q
# after a pipe: it would stop reading early and fail the pipe.
has() { tr -s ' ' < "$out/$1/$2" | grep -x -F -- "$3" > /dev/null; }
expect() { has "$1" "$2" "$3" || fail "$1/$2 has no line '$3' (see $out/$1/$2)"; }

for path in nouveau abonne noie poste98; do
    grep -q '^Windows annoncé aux programmes : 4\.0\.' "$out/$path/rapport.txt" ||
        fail "path $path was not walked with Windows 95 (4.0) reported"
done
telephon='ini C:\windows\telephon.ini'
for path in nouveau abonne; do
    [ -f "$out/$path/pages/01-kitassist-IE3.png" ] || fail "path $path did not show the IE3 page"
    [ "$(ls "$out/$path/pages" | wc -l)" -ge 12 ] || fail "path $path has too few page screenshots"
    # The modem location: a third entry (count 2, next id 3 in the seed), built from the current
    # location Domicile (area code 01), made current; the count and next id go up by one.
    expect $path ecritures.txt "$telephon [Locations] Locations=3,4"
    expect $path ecritures.txt "$telephon [Locations] CurrentLocation=3,2"
    expect $path ecritures.txt "$telephon [CountryOverrides] Country33=33,34,\"France\",\"0FG\",\"0FG\",\"00EFG\""
    grep -q -F 'ini C:\windows\win.ini [Windows Telephony] TelephonINIChanged=' <(tr -s ' ' < "$out/$path/ecritures.txt") ||
        fail "path $path did not stamp the change of telephon.ini in win.ini"
    grep -q -F 'Telephony\Locations' "$out/$path/ecritures.txt" &&
        fail "path $path wrote telephony locations into the registry on Windows 95"
    # Internet Explorer 3 has no "Version": the browser script's list is the one for other
    # versions, and the mail step leaves the accounts alone.
    expect $path ecritures.txt 'registre HKEY_CURRENT_USER\Software\Microsoft\Internet Explorer\Main "Window Title"="Internet Explorer - Telvora"'
    grep -q -F 'Display Name' "$out/$path/ecritures.txt" &&
        fail "path $path set a mail display name with Internet Explorer 3"
    expect $path ecritures.txt 'registre HKEY_CURRENT_USER\RemoteAccess "InternetProfile"="Telvora"'
    expect $path rapport.txt "modele_0.ins : effacé à la fin de l'assistant"
done
expect nouveau ecritures.txt "$telephon [Locations] Location2=3,\"Emplacement modem pour Telvora\",\"0,\",\"0,\",\"01\",33,0,0,1,\"\",0,\"\""
expect abonne ecritures.txt "$telephon [Locations] Location2=3,\"Emplacement modem pour Telvora\",\"\",\"\",\"01\",33,0,0,1,\"\",0,\"\""
expect nouveau ecritures.txt 'registre HKEY_LOCAL_MACHINE\Software\Classes\.vtx @="vtxfile"'

# No browser: the NOIE page, Quitter, and the PC as it was.
[ "$(ls "$out/noie/pages")" = 01-kitassist-NOIE.png ] || fail "the walk without a browser showed: $(ls "$out/noie/pages")"
[ ! -s "$out/noie/ecritures.txt" ] || fail "the walk without a browser wrote: $(cat "$out/noie/ecritures.txt")"
expect noie rapport.txt "--- Rien d'installé : C:\\Program Files\\Telvora n'existe pas"

# The Windows 98 PC with Windows 95 reported: the modem step finds no location and stops the
# wizard; what it writes before (the country and "Inited") stays, nothing after it runs.
grep -q -F 'msgbox: caption="Fermeture de l'"'"'assistant de connexion à Telvora" text="Problèmes lors de la configuration du modem" buttons=IDOK -> IDOK' \
    "$out/poste98/pilote.log" || fail "the Windows 98 PC did not stop at the modem step (see $out/poste98/pilote.log)"
expect poste98 ecritures.txt "$telephon [Locations] Inited=1"
expect poste98 ecritures.txt "$telephon [CountryOverrides] Country33=33,34,\"France\",\"0FG\",\"0FG\",\"00EFG\""
after_modem='^(ini|registre) .*(Location[0-9]|CurrentLocation|win\.ini|icones\.ini|Window Title)'
grep -q -E "$after_modem" "$out/poste98/ecritures.txt" &&
    fail "the Windows 98 PC went on after the modem step: $(grep -E "$after_modem" "$out/poste98/ecritures.txt")"
[ -s "$out/planche.png" ] || fail "no contact sheet"

# The kit wizard's first pages as the simulated machine draws them (kitpreview) against Wine's:
# the share of identical pixels may not fall below the demonstration walk's floor (IE3 and NOIE
# both at 99.81 % when it was set).
fidelity_floor=${TELVORA_FIDELITY_FLOOR_95:-99.2}
first_pages=$(mktemp -d "${TMPDIR:-/tmp}/telvora-first-pages-XXXXXX")
mkdir -p "$first_pages/windows95/pages"
cp "$out/nouveau/pages/01-kitassist-IE3.png" "$out/noie/pages/01-kitassist-NOIE.png" \
    "$first_pages/windows95/pages/"
status=0
compare_with_preview "$fidelity_floor" "$out/fidelite.txt" "$first_pages/windows95/pages" || status=$?
rm -rf "$first_pages"
[ "$status" = 0 ] || fail "a first page of the simulated machine is below ${fidelity_floor} % of Wine's pixels"

# What differed from the Windows 98 walk of this run, when there was one.
walk98=$wine_artefacts/demo-walk
if [ -f "$walk98/nouveau/ecritures.txt" ]; then
    "$root/tools/demo/compare-systems" "Windows 98" "$walk98/nouveau/ecritures.txt" \
        "Windows 95" "$out/nouveau/ecritures.txt" > "$out/comparaison-nouveau.txt"
    cat "$out/comparaison-nouveau.txt"
    # The registry's modem location on one, telephon.ini's on the other; the browser's title.
    sed -n '/^--- Écrit sous Windows 98 seulement/,/^---/p' "$out/comparaison-nouveau.txt" |
        grep -F 'Telephony\Locations\Location0  "LongDistanceAccess"="0,"' > /dev/null ||
        fail "the comparison does not give the registry's location to Windows 98 alone"
    sed -n '/^--- Écrit sous Windows 95 seulement/,$p' "$out/comparaison-nouveau.txt" |
        grep -F 'telephon.ini  [Locations] Location2=' > /dev/null ||
        fail "the comparison does not give telephon.ini's location to Windows 95 alone"
    grep -q -x '    Windows 95 : "Internet Explorer - Telvora"' "$out/comparaison-nouveau.txt" ||
        fail "the comparison does not show the two browser titles"
else
    echo "demo_walk_95_e2e: no Windows 98 walk in this run ($walk98): the comparison of the systems is not checked"
fi
echo "demo_walk_95_e2e: passed (output in $out)"
