#!/bin/bash
# keyboard_walk_e2e.sh TEST_BUILD_DIR PROGRAMS_BUILD_DIR
# The existing subscriber's path of the demonstration kit walked under Wine with the keyboard
# alone (tools/demo/walk-wine clavier: walk-clavier.txt), through both wizards, the extraction,
# the folder browser, the sign-up stand-in and the subscriber's space. Every action is a real
# key press (SendInput): the script may not click, type into a control, post a key or a
# command, nor press a box's button. Then the PC must hold what the mouse walk leaves there.
set -euo pipefail
here=$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")
root=$(cd "$here/../../.." && pwd)
# shellcheck source=tests/wine/wine-env.sh
source "$here/../wine-env.sh"

out=$wine_artefacts/keyboard-walk
fail() {
    echo "keyboard_walk_e2e: $*" >&2
    exit 1
}
script=$root/tools/demo/walk-clavier.txt
actions=$(grep -n -E '^(click|type|key|command|close)( |$)|press=' "$script" || true)
[ -z "$actions" ] || fail "the keyboard walk acts otherwise than with keys: $actions"
grep -q -E '^press ' "$script" || fail "the keyboard walk presses no key"

"$root/tools/demo/walk-wine" "$1" "$2" "$out" clavier || fail "the walk failed"

# grep reads the whole report (no -q): quitting at the first match would end tr with SIGPIPE,
# which pipefail takes for a failure once the report is longer than a pipe holds.
expect() {
    tr -s ' ' < "$out/clavier/rapport.txt" | grep -x -F -i -- "$1" > /dev/null ||
        fail "the report has no line '$1' (see $out/clavier/rapport.txt)"
}
expect " InternetProfile REG_SZ Telvora"
expect " NameServer REG_SZ 194.206.16.1,194.206.16.2"
expect " Start Page REG_SZ http://www.telvora.fr/"
expect "modele_0.ins : effacé à la fin de l'assistant"
expect "target=C:\\Program Files\\Telvora\\espace.exe"
# The identifiers typed on the keyboard reached the sign-up program.
expect " Name REG_SZ mdurand"
expect " Email_address REG_SZ martine.durand@telvora.fr"
expect " SMTP Display Name REG_SZ martine.durand"
grep -q -F ".vtx" "$out/clavier/rapport.txt" && fail "Pas maintenant was pressed: no Quadrel"
echo "keyboard_walk_e2e: passed (output in $out)"
