#!/usr/bin/env bash
# fault_walk.sh HOST_BUILD_DIR [transient|permanent|kill|all]
# The demonstration kit walked on the simulated machine, both paths, once with every operation
# counted (SIMWIN_FAULT=count, the clean walk), then once per operation that can fail, with that
# operation made to fail (SIMWIN_FAULT=<kind>:<n>:<mode>): every file write, copy, rename,
# registry write and program start of every program of the kit in turn. Modes: transient (the
# CI form of the fault walk), permanent, kill (the program that makes the operation dies there,
# as at a power cut), all (transient and permanent). TELVORA_FAULT_WALK sets the mode too.
# FAULT_WALK_SAMPLE=N walks N points only, drawn at random (the CI form of the kill walk); the
# seed is printed, FAULT_WALK_SEED sets it.
#
# The oracle: the clean walk's end state (every file of drive C: and every registry value, as
# machine_state dumps them) is the new state, the seeded machine the old one (and the kit's
# files as the extraction program copies them, before the steps that write into them). Each
# walk ends:
#   harmless  its end state is the clean walk's: the failed operation did not matter
#   told      an error box named the failure, and every file and value is old or new; a box
#             that is a fatal error (not listed in fault_walk_warnings.txt) is followed by no
#             operation of its program
#   killed    (kill mode) every file and value is old or new; the program killed could not say
#   cut       (kill mode) as killed, but a file the program was writing or copying when it
#             died is cut, as Windows leaves it: its second run must replace it
#   outside   the fault was in a program that stands in for one outside the kit (the sign-up
#             program, fault_walk_outside.txt): what it leaves is its own, not judged
# An INI file is compared entry by entry (several steps write one in turn); the logs listed in
# fault_walk_records.txt are left out, since they tell what the run met.
# Anything else fails and names the values: a value neither old nor new (a cut file, half a
# setting), a walk that lost a setting without a box, a crash, a hang, an empty box, a fatal
# error after which its program went on. Cases that wait for the connection wizard's and the
# kit wizard's own mends are listed in fault_walk_pending.txt: reported as pending, not failed.
#
# Then a second run mends: the same path walked again on the same machine without the fault
# must reach the clean walk's end state, but for the values that depend on a first run
# (fault_walk_first_run.txt; the dial-up profile is set back to the old one before it, as a
# subscriber's PC that the first run never reached would have it), and it leaves no temporary
# file of the first and no "modele_0.ins".
#
# Figures (both paths, 2 cores shared with other work): 408 fault points (write 129, copy 55,
# move 108, registry 105, spawn 11: the installation's record and entry added some); four walks
# at a time, each with its second run, the transient walk takes about 3.5 minutes, the kill walk over every point about 4, a kill sample of 40
# points under a minute.
# FAULT_WALK_KEEP=1 keeps every walk's folder; a failed walk's folder is always kept and named.
# FAULT_WALK_TABLE=FILE copies the table of outcomes (path, fault, outcome, operation, first
# box, problems, pending).
set -euo pipefail
here=$(cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")" && pwd)
root=$(cd "$here/../.." && pwd)

# walk BUILD MACHINE OUT FAULT LOG: the kit started from the machine's CD, every program reaped.
walk() {
    local build=$1 machine=$2 out=$3 fault=$4 log=$5 timeout=${FAULT_WALK_WAIT:-2} status=0
    (cd "$machine/cd" && ulimit -c 0 && SIMWIN_MACHINE=$machine SIMWIN_WALK=$machine/walk \
        SIMWIN_FAULT=$fault SIMWIN_WALK_TIMEOUT=$timeout SIMWIN_BOX_LOG=$out/boxes-$log.log \
        "$build/tests/robustness/machine_runner" "$out/ended-$log.txt" 120 ./kitassist.exe \
        > "$out/walk-$log.log" 2>&1) || status=$?
    touch "$out/boxes-$log.log"
    return $status
}

reached_end() { LC_ALL=C grep -a -q -x 'cnxassist.exe : page Votre ordinateur est pr.t (Fin)' "$1"; }

# The one walk: fault_walk.sh --one BUILD WORK OUT PATH FAULT
if [ "${1:-}" = "--one" ]; then
    arguments=("$@")
    build=$2 work=$3 out=$4 path=$5 fault=$6
    state=$build/tests/robustness/machine_state
    rm -rf "$out"
    mkdir -p "$out"
    machine=$out/machine
    cp -r "$work/template-$path" "$machine"
    status=0
    walk "$build" "$machine" "$out" "$fault" first || status=$?
    problems=()
    [ "$status" = 2 ] && problems+=("kitassist.exe could not be started")
    kind=${fault%%:*}
    mode=${fault##*:}
    # The process killed on purpose, as the machine logged it ("<kind> <n> <program> ... KILLED").
    killed=$(grep -a -m1 ' KILLED$' "$machine/fault-log" 2> /dev/null | cut -d' ' -f3 | sed 's/.*\\//' || true)
    cp "$machine/fault-log" "$out/fault-log-first" 2> /dev/null || touch "$out/fault-log-first"
    # A program reaped by the one that started it is said in the log by the machine.
    while read -r line; do
        # The program killed on purpose, said by the one that started it.
        [ -n "$killed" ] && [[ $line == *"killed by signal 9" ]] && [ -z "${said_kill:-}" ] &&
            said_kill=1 && continue
        problems+=("crash: $line")
    done < <(LC_ALL=C grep -a -o 'simwin: process .* killed by signal [0-9]*' "$out/walk-first.log" || true)
    while read -r how name value; do
        [ "$how" = signal ] && [ "$name" = "$killed" ] && [ "$value" = 9 ] && continue
        [ "$how" = signal ] && problems+=("crash: $name killed by signal $value")
        [ "$how" = hang ] && problems+=("hang: $name still running after 120 s")
    done < "$out/ended-first.txt"
    while IFS=$'\t' read -r program caption text; do
        [ -n "$caption" ] && [ -n "$text" ] || problems+=("an empty error box from $program")
    done < "$out/boxes-first.log"
    boxes=$(wc -l < "$out/boxes-first.log")

    # The end state against the old and the clean one.
    "$state" dump "$machine" > "$out/state-first.txt"
    compared=0
    # A killed program leaves its temporary files (the extraction program's "*.kx~" and new
    # record "kitextract.ls~", the connection wizard's "modele_0.ins"): allowed then, since the
    # second run must remove them.
    temporaries=
    [ "$mode" != kill ] || temporaries='.kx~:.ls~:\modele_0.ins'
    MACHINE_STATE_TEMPORARIES=$temporaries "$state" compare \
        "$work/old-$path.txt:$work/installed-$path.txt" "$work/new-$path.txt" \
        "$out/state-first.txt" "$here/fault_walk_records.txt" > "$out/differences.txt" || compared=$?
    # The failed operation, as the machine logged it: "<kind> <n> <program> <what>".
    failed=$(grep -a -m1 -E ' (FAILED|KILLED)$' "$out/fault-log-first" 2> /dev/null | sed -E 's/ (FAILED|KILLED)$//' || true)
    program=$(echo "$failed" | cut -d' ' -f3)
    outside=$({ grep -v '^#' "$here/fault_walk_outside.txt" || true; } | cut -f1 | grep -x -F -- "$program" || true)
    if [ "$compared" = 0 ]; then
        outcome=harmless
    elif [ "$boxes" != 0 ]; then
        outcome=told
    elif [ -n "$outside" ] && [ -n "$program" ]; then
        outcome=outside
    elif [ "$mode" = kill ]; then
        outcome=killed
    else
        outcome=silent
    fi
    # A file the killed program was writing or copying is cut, as on Windows: accepted when
    # nothing but whole files is neither old nor new, and the second run (below) replaces it.
    if [ "$compared" -ge 2 ] && [ "$mode" = kill ] &&
        ! grep -a '^third ' "$out/differences.txt" | grep -a -q -v '^third file '; then
        outcome=cut
        compared=1
    fi
    if [ "$compared" -ge 2 ] && [ "$outcome" != outside ]; then
        problems+=("neither old nor new: $(grep -a '^third ' "$out/differences.txt" | cut -c7- | sed -n '1,5p' | tr '\n\t' '; ')")
    fi
    if [ "$outcome" = silent ]; then
        problems+=("values lost without an error box: $(cut -c5- "$out/differences.txt" | sed -n '1,5p' | tr '\n\t' '; ')")
    fi
    # A fatal error box ends its program's part: no operation of that program after it.
    if [ "$outcome" = told ]; then
        after=$(awk -v warnings="$here/fault_walk_warnings.txt" '
            BEGIN { while ((getline line < warnings) > 0) if (line !~ /^#/ && line != "") warn[n++] = line }
            $1 == "box" {
                text = substr($0, length($1 " " $2 " ") + 1)
                fatal = 1
                for (i = 0; i < n; i++) if (index(text, warn[i]) == 1) fatal = 0
                if (fatal) ended[$2] = text
                next
            }
            ($3 in ended) && !($3 in said) { said[$3] = 1; print $3 " went on after \"" ended[$3] "\": " $0 }
        ' "$out/fault-log-first" | sed -n '1p' | iconv -f WINDOWS-1252 -t UTF-8 || true)
        [ -z "$after" ] || problems+=("$after")
    fi

    # The second run, on the same machine, without the fault. The scripted user of the kit
    # wizard waits for the extraction's log: the first run's would let it go on at once.
    second=()
    rm -f "$machine/drive_c/Program Files/Telvora/kitextract.log"
    rm -f "$machine/fault-counts" "$machine/fault-log"
    while IFS=$'\t' read -r top key name text; do
        "$state" set "$machine" "$top" "$key" "$name" "$text"
    done < "$work/reset-$path.txt"
    walk "$build" "$machine" "$out" "" second || true
    if ! reached_end "$out/walk-second.log"; then
        second+=("the second run did not reach the last page$(cut -f3 "$out/boxes-second.log" | sed -n '1p' | sed 's/^./ (box: &/; s/.$/&)/')")
    fi
    "$state" dump "$machine" > "$out/state-second.txt"
    "$state" compare "$work/new-$path.txt" "$work/new-$path.txt" "$out/state-second.txt" \
        "$here/fault_walk_first_run.txt" > "$out/differences-second.txt" ||
        second+=("the second run left: $(cut -d' ' -f2- "$out/differences-second.txt" | sed -n '1,5p' | tr '\n\t' '; ')")
    [ ! -e "$machine/drive_c/Program Files/Telvora/modele_0.ins" ] ||
        second+=("modele_0.ins left behind after the second run (it holds the password)")
    problems+=("${second[@]}")

    # A failure that waits for a mend of its program is pending, reported apart.
    operation=$(echo "${failed:-not reached}" | cut -d' ' -f3-)
    pending=
    if [ ${#problems[@]} != 0 ]; then
        pending=$({ grep -v '^#' "$here/fault_walk_pending.txt" || true; } | awk -F'\t' -v p="$path" -v f="$fault" \
            '$1 == p && ($2 == f || index(f, $2 ":") == 1) {print $3; exit}')
    fi
    # A walk slowed down by a busy machine looks like one that stopped: tried again with all
    # the time it needs before it counts.
    if [ ${#problems[@]} != 0 ] && [ -z "$pending" ] && [ -z "${FAULT_WALK_CONFIRM:-}" ]; then
        FAULT_WALK_CONFIRM=1 FAULT_WALK_WAIT=30 exec bash "$0" "${arguments[@]}"
    fi
    boxText=$(cut -f3 "$out/boxes-first.log" | sed -n '1p' | iconv -f WINDOWS-1252 -t UTF-8 || true)
    said=
    [ ${#problems[@]} = 0 ] || said=$(printf '%s; ' "${problems[@]}" | tr '\t' ' ')
    printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$path" "$fault" "$outcome" \
        "$(echo "$operation" | iconv -f WINDOWS-1252 -t UTF-8)" "$boxText" "$said" "$pending" \
        > "$out/result.txt"
    if [ ${#problems[@]} != 0 ] && [ -z "$pending" ]; then
        echo "$path $fault" > "$out/.kept"
        exit 1
    fi
    [ -n "${FAULT_WALK_KEEP:-}" ] || rm -rf "$machine"
    exit 0
fi

build=$(readlink -f "$1")
mode=${2:-${TELVORA_FAULT_WALK:-transient}}
case $mode in
    transient | permanent | kill) modes=("$mode") ;;
    all) modes=(transient permanent) ;;
    *)
        echo "fault_walk: mode $mode is not transient, permanent, kill or all" >&2
        exit 2
        ;;
esac
work=$(mktemp -d "${TMPDIR:-/tmp}/telvora-fault-walk-XXXXXX")
fail() {
    echo "fault_walk: $*" >&2
    echo "fault_walk: the walks' folder is kept: $work" >&2
    echo "fault walk $mode" > "$work/.kept"
    exit 1
}
state=$build/tests/robustness/machine_state

bash "$root/kits/demo/assemble" "$build" "$work/kit" > /dev/null
jobs=$work/jobs.txt
: > "$jobs"
declare -A total
for path in nouveau abonne; do
    template=$work/template-$path
    bash "$root/tools/demo/prepare-sim" "$work/kit" "$template" "$path"
    "$state" dump "$template" > "$work/old-$path.txt"
    # The kit copied by the extraction program and nothing else done yet: its files as on the
    # CD are old ones too for the steps that write into them afterwards (the sign-up file, the
    # icons' file).
    cp -r "$template" "$work/installed-$path"
    mkdir -p "$work/installed-$path/drive_c/Program Files/Telvora"
    cp -r "$template/cd/contenu/." "$work/installed-$path/drive_c/Program Files/Telvora/"
    "$state" dump "$work/installed-$path" > "$work/installed-$path.txt"
    rm -rf "$work/installed-$path"
    # The values that choose the connection wizard's way, as seeded (their terminator left
    # out): set back before each second run.
    for value in 'HKCU RemoteAccess InternetProfile' \
        'HKLM System\CurrentControlSet\Services\VxD\MSTCP NameServer'; do
        read -r top key name <<< "$value"
        full=HKEY_CURRENT_USER
        [ "$top" = HKCU ] || full=HKEY_LOCAL_MACHINE
        item="value $full\\${key,,}	${name,,}	1:"
        text=$(grep -a -F "$item" "$work/old-$path.txt" | sed -n 1p | cut -f3 | sed 's/^1://; s/\\x00$//')
        printf '%s\t%s\t%s\t%s\n' "$top" "$key" "$name" "$text" >> "$work/reset-$path.txt"
    done
    # The clean walk, every operation counted: it must reach the end untroubled, and its end
    # state is the new one.
    clean=$work/clean-$path
    mkdir -p "$clean"
    cp -r "$template" "$clean/machine"
    walk "$build" "$clean/machine" "$clean" count first ||
        fail "the clean walk of path $path failed: $(cat "$clean/ended-first.txt")"
    reached_end "$clean/walk-first.log" && [ ! -s "$clean/boxes-first.log" ] ||
        fail "the clean walk of path $path did not reach the end untroubled (log: $clean/walk-first.log)"
    "$state" dump "$clean/machine" > "$work/new-$path.txt"
    while read -r kind count; do
        total[$kind]=$((${total[$kind]:-0} + count))
        for ((n = 1; n <= count; n++)); do
            for m in "${modes[@]}"; do echo "$path $kind:$n:$m" >> "$jobs"; done
        done
    done < "$clean/machine/fault-counts"
done
echo "fault_walk: fault points per kind (both paths): $(for k in write copy move registry spawn; do
    printf '%s %s, ' "$k" "${total[$k]:-0}"
done)modes: ${modes[*]}"
if [ -n "${FAULT_WALK_SAMPLE:-}" ] && [ "$FAULT_WALK_SAMPLE" -lt "$(wc -l < "$jobs")" ]; then
    seed=${FAULT_WALK_SEED:-$((RANDOM * 32768 + RANDOM))}
    echo "fault_walk: a sample of $FAULT_WALK_SAMPLE points, seed $seed (FAULT_WALK_SEED=$seed draws it again)"
    shuf -n "$FAULT_WALK_SAMPLE" --random-source=<(yes "$seed") "$jobs" > "$jobs.sample"
    mv "$jobs.sample" "$jobs"
fi
echo "fault_walk: $(wc -l < "$jobs") walks"

# Four walks at a time (FAULT_WALK_JOBS): each waits on its programs' timers more than it
# computes, and a walk slowed down too much is tried again before it counts.
start=$SECONDS
status=0
while read -r path fault; do
    echo "$path $fault $work/run-$path-${fault//:/-}"
done < "$jobs" | xargs -P "${FAULT_WALK_JOBS:-4}" -L 1 bash -c \
    'bash "$0" --one "$1" "$2" "$5" "$3" "$4"' "$0" "$build" "$work" ||
    status=$?

results=$work/results.txt
cat "$work"/run-*/result.txt > "$results"
echo "fault_walk: $(wc -l < "$results") walks (each with its second run) in $((SECONDS - start)) s"
echo "fault_walk: outcomes: $(cut -f3 "$results" | sort | uniq -c | awk '{printf "%s %s, ", $1, $2}')"
echo "fault_walk: outcomes by kind of operation:"
awk -F'\t' '{split($2, f, ":"); n[f[1] " " $3]++} END {for (k in n) print "  " k ": " n[k]}' "$results" | sort
echo "fault_walk: first error box of each walk that showed one:"
cut -f5 "$results" | grep -v '^$' | sort | uniq -c | sed 's/^/  /' || true
pending=$(awk -F'\t' '$7 != ""' "$results")
if [ -n "$pending" ]; then
    echo "fault_walk: pending (fault_walk_pending.txt: they wait for their program's own mend):"
    awk -F'\t' '$7 != "" {print "  " $1 " " $2 " (" $4 "): " $7 " -- now: " $6}' "$results"
fi
if [ -n "${FAULT_WALK_TABLE:-}" ]; then cp "$results" "$FAULT_WALK_TABLE"; fi
failures=$(awk -F'\t' '$6 != "" && $7 == ""' "$results")
if [ -n "$failures" ] || [ "$status" != 0 ]; then
    echo "fault_walk: FAILED walks (path, fault, outcome, operation, box, problems):" >&2
    printf '%s\n' "$failures" | cut -f1-6 | sed 's/^/  /' >&2
    echo "fault_walk: their folders are kept in $work (run-<path>-<fault>)" >&2
    echo "fault walk $mode" > "$work/.kept"
    exit 1
fi
[ -n "${FAULT_WALK_KEEP:-}" ] || rm -rf "$work"
echo "fault_walk: passed"
