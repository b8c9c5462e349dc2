#!/usr/bin/env bash
# two_wizards_sim.sh HOST_BUILD_DIR
# Two copies of a wizard at once on one simulated machine where the demonstration kit has been
# installed (its kit wizard walked up to the connection wizard, which is not started).
# - Two cnxassist.exe at once, each with its own scripted subscriber (alice, bob): alice's is
#   held at its first registry write (SIMWIN_FAULT=registry:1:hold) and bob's is started while
#   it is known to be held there. Bob's must step back with its "déjà ouvert" box before
#   touching anything; alice's, released, goes to its last page, and the sign-up program must
#   have received her data only. Then bob's, started alone, goes through with its own data.
# - Two plugmaj.exe at once, several times: the first held at one of its copies or registry
#   writes, the second run whole meanwhile, then the first released: both end, the plug-in's
#   files are the kit's, its registry keys are whole.
# Every run: no crash, no hang, every file of the machine whole, no "modele_0.ins" left.
set -euo pipefail
here=$(cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$(readlink -f "$1")
runner=$build/tests/robustness/machine_runner
work=$(mktemp -d "${TMPDIR:-/tmp}/telvora-two-wizards-XXXXXX")
[ -n "${TWO_WIZARDS_KEEP:-}" ] || trap 'rm -rf "$work"' EXIT
fail() {
    echo "two_wizards_sim: $*" >&2
    exit 1
}
machine=$work/machine
install=$machine/drive_c/Program\ Files/Telvora

# The kit installed: the kit wizard's walk without its last click, which would start the
# connection wizard.
bash "$root/kits/demo/assemble" "$build" "$work/kit" > /dev/null
bash "$root/tools/demo/prepare-sim" "$work/kit" "$machine" abonne
sed -i '$d' "$machine/walk/kitassist.walk"
(cd "$machine/cd" && SIMWIN_MACHINE=$machine SIMWIN_WALK=$machine/walk \
    "$runner" "$work/kit-ended.txt" 60 ./kitassist.exe > "$work/kit.log" 2>&1) ||
    fail "the kit could not be installed: $(cat "$work/kit-ended.txt")"
[ -f "$install/cnxassist.exe" ] || fail "the kit was not installed"
# The user starts the installed programs from the Explorer: they are programs to the host too.
chmod +x "$install"/*.exe "$install"/*.EXE
cp "$machine/system.reg" "$work/installed.reg"

# A scripted subscriber per connection wizard: the existing subscriber's walk with its names.
for who in alice bob; do
    mkdir -p "$work/walk-$who"
    sed -e "s/mdurand/$who/; s/Secret98/Secret-$who/; s/martine\.durand/$who.mail/" \
        -e "s/Courrier98/Mail-$who/; s/^say /say [$who] /" \
        "$root/tools/demo/sim/cnxassist-abonne.walk" |
        iconv -f UTF-8 -t WINDOWS-1252 > "$work/walk-$who/cnxassist.walk"
    cp "$machine/walk/espace.walk" "$work/walk-$who/"
done

# wizard NAME [FAULT]: cnxassist.exe started by the user in the installation folder.
wizard() {
    (cd "$install" && SIMWIN_MACHINE=$machine SIMWIN_WALK=$work/walk-$1 SIMWIN_FAULT=${2:-} \
        SIMWIN_BOX_LOG=$work/boxes.log SIMWIN_WALK_TIMEOUT=20 \
        "$runner" "$work/$1-ended.txt" 120 ./cnxassist.exe > "$work/$1.log" 2>&1)
}

# held: waits until a program started with SIMWIN_FAULT=...:hold is held (30 s at most).
held() {
    for _ in $(seq 3000); do
        [ ! -e "$machine/fault-held" ] || return 0
        sleep 0.01
    done
    fail "$1 was never held"
}
release() { touch "$machine/fault-release"; }
forget_hold() { rm -f "$machine/fault-held" "$machine/fault-release" "$machine/fault-counts" "$machine/fault-log"; }

# check: what every run must leave.
check() {
    local problems
    problems=$("$build/tests/robustness/machine_check" "$machine") || fail "$1: $problems"
    [ ! -e "$install/modele_0.ins" ] || fail "$1: modele_0.ins left behind"
    ! grep -q -v '^exit ' "$work"/*-ended.txt || fail "$1: $(grep -h -v '^exit ' "$work"/*-ended.txt)"
}

# received: the sign-up program's record of what it was given, one "name=value" per line.
received() {
    iconv -f WINDOWS-1252 -t UTF-8 "$machine/system.reg" | tr -d '\r' |
        awk '/^\[HKEY_CURRENT_USER\\Software\\Telvora\\ISIGNUP stand-in\]$/ {on = 1; next}
             /^\[/ {on = 0} on && /^"(Name|Password|Email_Name|POP_Logon_Name|Email_address|POP_Logon_Password)"=/'
}

reached_end() { LC_ALL=C grep -a -q "^\[$1\] cnxassist.exe : page Votre ordinateur est pr.t (Fin)" "$work/$1.log"; }

# Both at once: bob's starts and ends while alice's is known to run, held at its first
# registry write.
: > "$work/boxes.log"
wizard alice registry:1:hold &
first=$!
held "alice's wizard"
wizard bob || true
release
wait $first || true
forget_hold
check "two connection wizards at once"
echo "two_wizards_sim: two connection wizards at once:"
iconv -f WINDOWS-1252 -t UTF-8 "$work/boxes.log" | sed 's/^/  box: /'
[ "$(wc -l < "$work/boxes.log")" = 1 ] || fail "one box expected, the second wizard's"
grep -q -F "est déjà ouvert" <(iconv -f WINDOWS-1252 -t UTF-8 "$work/boxes.log") ||
    fail "the second wizard did not say the first one runs"
winner=alice loser=bob
reached_end $winner || fail "the first wizard did not reach its last page"
[ ! -s "$work/$loser.log" ] || ! grep -q '^\[' "$work/$loser.log" ||
    fail "the wizard that stepped back showed pages: $(cat "$work/$loser.log")"
got=$(received)
echo "  $winner went through; the sign-up program received:"
echo "$got" | sed 's/^/    /'
! echo "$got" | grep -q "$loser" || fail "the sign-up program received $loser's data too"
[ "$(echo "$got" | grep -c "$winner")" = 6 ] || fail "the sign-up program lacks $winner's data"

# The claim went with the first wizard: the other one, alone now on the same PC as it was before,
# goes through.
cp "$work/installed.reg" "$machine/system.reg"
: > "$work/boxes.log"
wizard $loser
check "the second wizard alone"
reached_end $loser || fail "$loser's wizard, alone, did not reach its last page"
[ ! -s "$work/boxes.log" ] || fail "$loser's wizard, alone, showed: $(cat "$work/boxes.log")"
[ "$(received | grep -c "$loser")" = 6 ] || fail "the sign-up program lacks $loser's data"
echo "  then $loser alone went through with its own data"

# Two plug-in installers at once, on a PC without the plug-in then with it.
ie=$machine/drive_c/Program\ Files/Internet\ Explorer
for round in 1 2 3 4 5 6; do
    if [ $((round % 2)) = 1 ]; then
        cp "$work/installed.reg" "$machine/system.reg"
        rm -f "$ie/quadterm.exe" "$ie/quadterm.ini"
    fi
    # The first held at one of its copies or, on a PC without the plug-in, of its registry
    # writes; the second runs whole meanwhile.
    holds=(copy:1:hold copy:2:hold registry:1:hold copy:1:hold registry:3:hold copy:2:hold)
    plugmaj() {
        (cd "$install" && SIMWIN_MACHINE=$machine SIMWIN_FAULT=${2:-} \
            "$runner" "$work/plugmaj$1-ended.txt" 60 ./plugmaj.exe > "$work/plugmaj$1.log" 2>&1)
    }
    plugmaj 1 "${holds[$((round - 1))]}" &
    held "plugmaj.exe (round $round)"
    plugmaj 2 || true
    release
    wait
    grep -q ' HELD$' "$machine/fault-log" || fail "round $round: the first installer was not held"
    forget_hold
    check "two plug-in installers at once, round $round"
    cmp -s "$ie/quadterm.exe" "$install/quadterm.exe" || fail "round $round: quadterm.exe is not the kit's"
    cmp -s "$ie/quadterm.ini" "$install/quadterm.ini" || fail "round $round: quadterm.ini is not the kit's"
    command=$(iconv -f WINDOWS-1252 -t UTF-8 "$machine/system.reg" | tr -d '\r' |
        awk '/^\[HKEY_LOCAL_MACHINE\\Software\\Classes\\vtxfile\\Shell\\open\\command\]$/ {on = 1; next}
             /^\[/ {on = 0} on && /^@=/')
    [ "$command" = '@="C:\\Program Files\\Internet Explorer\\quadterm.exe %1"' ] ||
        fail "round $round: the open command is '$command'"
done
echo "two_wizards_sim: two plug-in installers at once, 6 rounds, the second run whole while the first was held: both end, files and keys whole"
rm -f "$work"/*-ended.txt
echo "two_wizards_sim: passed"
