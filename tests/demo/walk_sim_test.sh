#!/bin/bash
# walk_sim_test.sh HOST_BUILD_DIR
# The demonstration kit walked on the simulated machine by tools/demo/walk-sim, on both paths,
# and on the existing subscriber's path again with the keyboard alone, then checked: what each
# path must have left on the machine.
set -euo pipefail
root=$(cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/../.." && pwd)
out=$(mktemp -d "${TMPDIR:-/tmp}/telvora-walk-sim-test-XXXXXX")
fail() {
    echo "walk_sim_test: $*" >&2
    echo "walk_sim_test: the reports are kept in $out" >&2
    exit 1
}
"$root/tools/demo/walk-sim" "$1" "$out" nouveau abonne clavier || fail "the walk failed"

# expect PATH TEXT: the report of PATH holds the line TEXT.
expect() {
    grep -q -x -F -- "$2" "$out/$1/rapport.txt" || fail "the report of path $1 has no line '$2'"
}
for path in nouveau abonne; do
    expect $path '"InternetProfile"="Telvora"'
    expect $path '"NameServer"="194.206.16.1,194.206.16.2"'
    expect $path '"Start Page"="http://www.telvora.fr/"'
    expect $path '"Ancienne page d'"'"'accueil"="http://www.ancien-fournisseur.fr/"'
    expect $path '"EnableAutodial"=hex:01,00,00,00'
    expect $path "modele_0.ins : effacé à la fin de l'assistant"
    expect $path 'Cible=C:\Program Files\Telvora\espace.exe'
    expect $path 'Bureau=0'
    grep -q -F 'Search Page' "$out/$path/rapport.txt" && fail "path $path kept the Search Page"
done
expect nouveau '"Phone_Number"="0,0860765432"'
expect nouveau '"LongDistanceAccess"="0,"'
expect nouveau '@="vtxfile"'
expect abonne '"Name"="mdurand"'
expect abonne '"SMTP Display Name"="martine.durand"'
grep -q -F 'vtxfile' "$out/abonne/rapport.txt" && fail "the existing subscriber chose no Quadrel"
# The same path with the keyboard alone leaves the machine as the mouse does.
diff <(grep -v 'chemin' "$out/abonne/rapport.txt") <(grep -v 'chemin' "$out/clavier/rapport.txt") ||
    fail "the keyboard walk left the machine otherwise than the mouse walk of the same path"
rm -rf "$out"
echo "walk_sim_test: passed"
