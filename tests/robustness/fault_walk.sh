#!/usr/bin/env bash
# fault_walk.sh HOST_BUILD_DIR [transient|permanent|all]
# The demonstration kit walked on the simulated machine, both paths, once with every operation
# counted (SIMWIN_FAULT=count), then once per operation that can fail, with that operation made
# to fail (SIMWIN_FAULT=<kind>:<n>:<mode>): every file write, copy, rename, registry write and
# program start of the walk in turn. The mode is transient by default (the CI form); "all" adds
# the permanent faults (the nightly form, about twice as long); TELVORA_FAULT_WALK sets the
# mode too.
# Each walk must end without a crash (no process killed by a signal) nor a hang, leave every
# file of the machine whole (machine_check) and no "modele_0.ins" behind, and each error box
# must say something. How each walk ended is counted in the summary:
#   unaffected   the walk reached the wizard's last page and no box was shown
#   went on      the walk reached the last page after an error box
#   told         the walk stopped short after an error box told the user
#   silent       the walk stopped short and no box told the user why
# A silent stop is a failure unless the operation is one the programs are meant not to report
# (listed in fault_walk_silent.txt, with why).
# Figures: both paths hold 284 fault points (write 121, copy 3, move 50, registry 99, spawn
# 11); the transient walk takes about 3.5 minutes on two busy cores, "all" about twice that.
# FAULT_WALK_KEEP=1 keeps the walks' folders, FAULT_WALK_TABLE=FILE copies the table of
# outcomes (path, fault, outcome, operation, first box, problems).
set -euo pipefail
here=$(cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")" && pwd)
root=$(cd "$here/../.." && pwd)

# The one walk: fault_walk.sh --one BUILD TEMPLATE OUT PATH FAULT
if [ "${1:-}" = "--one" ]; then
    arguments=("$@")
    build=$2 template=$3 out=$4 path=$5 fault=$6
    # Each wait of a scripted user gives up after this many seconds: the walk of a program
    # that gave up without a word stops there.
    timeout=${FAULT_WALK_WAIT:-2}
    rm -rf "$out"
    mkdir -p "$out"
    machine=$out/machine
    cp -r "$template" "$machine"
    status=0
    (cd "$machine/cd" && ulimit -c 0 && SIMWIN_MACHINE=$machine SIMWIN_WALK=$machine/walk \
        SIMWIN_FAULT=$fault SIMWIN_WALK_TIMEOUT=$timeout SIMWIN_BOX_LOG=$out/boxes.log \
        "$build/tests/robustness/machine_runner" "$out/ended.txt" 120 ./kitassist.exe \
        > "$out/walk.log" 2>&1) || status=$?
    touch "$out/boxes.log"
    problems=()
    [ "$status" = 2 ] && problems+=("kitassist.exe could not be started")
    # A program reaped by the one that started it is said in the log by the machine.
    while read -r killed; do
        problems+=("crash: $killed")
    done < <(LC_ALL=C grep -a -o 'simwin: process .* killed by signal [0-9]*' "$out/walk.log" || true)
    while read -r how name value; do
        [ "$how" = signal ] && problems+=("crash: $name killed by signal $value")
        [ "$how" = hang ] && problems+=("hang: $name still running after 120 s")
    done < "$out/ended.txt"
    if [ -e "$machine/drive_c/Program Files/Telvora/modele_0.ins" ]; then
        problems+=("modele_0.ins left behind (it holds the password)")
    fi
    check=$("$build/tests/robustness/machine_check" "$machine") || true
    [ -z "$check" ] || problems+=("$(echo "$check" | tr '\n' ';')")
    while IFS=$'\t' read -r program caption text; do
        [ -n "$caption" ] && [ -n "$text" ] || problems+=("an empty error box from $program")
    done < "$out/boxes.log"
    boxes=$(wc -l < "$out/boxes.log")
    if LC_ALL=C grep -a -q -x 'cnxassist.exe : page Votre ordinateur est pr.t (Fin)' "$out/walk.log"; then
        [ "$boxes" = 0 ] && outcome=unaffected || outcome="went on"
    else
        [ "$boxes" = 0 ] && outcome=silent || outcome=told
    fi
    # The operation that failed, as the machine logged it.
    failed=$(grep -a -m1 ' FAILED$' "$machine/fault-log" 2> /dev/null | sed 's/ FAILED$//' || true)
    kind=${fault%%:*}
    if [ "$outcome" = silent ] && [ -n "$failed" ]; then
        # "<kind> <n> <program> <what>": a silent stop there may be what the program is meant
        # to do.
        operation=$(echo "$failed" | cut -d' ' -f3-)
        if ! grep -v '^#' "$here/fault_walk_silent.txt" | awk -F'\t' -v k="$kind" -v o="$operation" \
            '$1 == k && index(o, $2) == 1 {found = 1} END {exit !found}'; then
            # A walk slowed down by a busy machine looks the same: it is tried again with
            # all the time it needs before it counts.
            if [ -z "${FAULT_WALK_CONFIRM:-}" ]; then
                FAULT_WALK_CONFIRM=1 FAULT_WALK_WAIT=30 exec bash "$0" "${arguments[@]}"
            fi
            problems+=("the walk stopped and no error box told the user why")
        fi
    fi
    boxText=$(cut -f3 "$out/boxes.log" | head -n 1 | iconv -f WINDOWS-1252 -t UTF-8 || true)
    said=
    [ ${#problems[@]} = 0 ] || said=$(printf '%s; ' "${problems[@]}")
    printf '%s\t%s\t%s\t%s\t%s\t%s\n' "$path" "$fault" "$outcome" \
        "$(echo "${failed:-not reached}" | cut -d' ' -f3- | iconv -f WINDOWS-1252 -t UTF-8)" \
        "$boxText" "$said" > "$out/result.txt"
    [ ${#problems[@]} = 0 ] || exit 1
    # The counting walk's machine holds the counts.
    [ "$fault" = count ] || rm -rf "$machine"
    exit 0
fi

build=$(readlink -f "$1")
mode=${2:-${TELVORA_FAULT_WALK:-transient}}
case $mode in
    transient) modes=(transient) ;;
    permanent) modes=(permanent) ;;
    all) modes=(transient permanent) ;;
    *)
        echo "fault_walk: mode $mode is not transient, permanent or all" >&2
        exit 2
        ;;
esac
work=$(mktemp -d "${TMPDIR:-/tmp}/telvora-fault-walk-XXXXXX")
[ -n "${FAULT_WALK_KEEP:-}" ] || trap 'rm -rf "$work"' EXIT
fail() {
    echo "fault_walk: $*" >&2
    exit 1
}

bash "$root/kits/demo/assemble" "$build" "$work/kit" > /dev/null
jobs=$work/jobs.txt
: > "$jobs"
declare -A total
for path in nouveau abonne; do
    bash "$root/tools/demo/prepare-sim" "$work/kit" "$work/template-$path" "$path"
    # The clean walk, every operation counted: it must reach the end untroubled.
    bash "$0" --one "$build" "$work/template-$path" "$work/count-$path" "$path" count ||
        fail "the counting walk of path $path failed: $(cat "$work/count-$path/result.txt")"
    grep -q "unaffected" "$work/count-$path/result.txt" ||
        fail "the counting walk of path $path did not reach the end untroubled"
    while read -r kind count; do
        total[$kind]=$((${total[$kind]:-0} + count))
        for ((n = 1; n <= count; n++)); do
            for m in "${modes[@]}"; do echo "$path $kind:$n:$m" >> "$jobs"; done
        done
    done < "$work/count-$path/machine/fault-counts"
done
echo "fault_walk: fault points per kind (both paths): $(for k in write copy move registry spawn; do
    printf '%s %s, ' "$k" "${total[$k]:-0}"
done)modes: ${modes[*]}, $(wc -l < "$jobs") walks"

# Four walks at a time (FAULT_WALK_JOBS): each waits on its programs' timers more than it
# computes, and a walk slowed down too much is tried again before it counts.
start=$SECONDS
status=0
while read -r path fault; do
    echo "$path $fault $work/run-$path-${fault//:/-}"
done < "$jobs" | xargs -P "${FAULT_WALK_JOBS:-4}" -L 1 bash -c \
    'bash "$0" --one "$1" "$2-$3" "$5" "$3" "$4"' "$0" "$build" "$work/template" ||
    status=$?

results=$work/results.txt
cat "$work"/run-*/result.txt > "$results"
echo "fault_walk: $(wc -l < "$results") walks in $((SECONDS - start)) s"
echo "fault_walk: outcomes: $(cut -f3 "$results" | sort | uniq -c | awk '{printf "%s %s, ", $1, $2 ($3 ? " " $3 : "")}')"
# Each box text shown, with how many walks showed it.
echo "fault_walk: first error box of each walk that showed one:"
cut -f5 "$results" | grep -v '^$' | sort | uniq -c | sed 's/^/  /'
if [ -n "${FAULT_WALK_TABLE:-}" ]; then cp "$results" "$FAULT_WALK_TABLE"; fi
failures=$(awk -F'\t' '$6 != ""' "$results")
if [ -n "$failures" ] || [ "$status" != 0 ]; then
    echo "fault_walk: FAILED walks (path, fault, outcome, operation, box, problems):" >&2
    printf '%s\n' "$failures" | sed 's/^/  /' >&2
    exit 1
fi
echo "fault_walk: passed"
