#!/usr/bin/env bash
# removal_walk.sh HOST_BUILD_DIR [transient|kill]
# The fault walk and the kill walk of the kit's removal, on the simulated machine. The
# demonstration kit is installed once by its walk (path abonne), then removed the way the
# control panel starts it ("C:\Program Files\Telvora\kitsuppr.exe /supprimer", which goes on in
# its copy in the temporary folder): once with every operation counted (the clean removal),
# then once per operation that can fail, that operation made to fail (transient) or its program
# killed there (kill). FAULT_WALK_SAMPLE=N walks N points only, drawn at random.
#
# The oracle: every file and value after the removal is as installed or as the clean removal
# left it, never a third thing (but, in the kill walk, a file cut by the program killed while it
# wrote or copied it, and its temporary files); nothing crashed or hung; then the removal
# started again (from
# the uninstaller when it is still in the installation folder, else from its copy in the
# temporary folder, as a subscriber would) must reach the clean removal's end state.
set -euo pipefail
here=$(cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")" && pwd)
root=$(cd "$here/../.." && pwd)
install_dir='drive_c/Program Files/Telvora'

# remove BUILD MACHINE OUT FAULT LOG: the removal, every program reaped.
remove() {
    local build=$1 machine=$2 out=$3 fault=$4 log=$5 status=0 program folder=
    program=$machine/$install_dir/kitsuppr.exe
    if [ ! -f "$program" ]; then
        program=$machine/drive_c/WINDOWS/TEMP/kitsuppr.exe
        folder='C:\Program Files\Telvora'
    fi
    (cd "$machine/drive_c" && ulimit -c 0 && SIMWIN_MACHINE=$machine SIMWIN_FAULT=$fault \
        SIMWIN_BOX_LOG=$out/boxes-$log.log \
        "$build/tests/robustness/machine_runner" "$out/ended-$log.txt" 60 "$program" /supprimer \
        ${folder:+"$folder"} > "$out/remove-$log.log" 2>&1) || status=$?
    touch "$out/boxes-$log.log"
    return $status
}

# The one walk: removal_walk.sh --one BUILD WORK OUT FAULT
if [ "${1:-}" = "--one" ]; then
    build=$2 work=$3 out=$4 fault=$5
    state=$build/tests/robustness/machine_state
    rm -rf "$out"
    mkdir -p "$out"
    machine=$out/machine
    cp -r "$work/installed" "$machine"
    mode=${fault##*:}
    problems=()
    remove "$build" "$machine" "$out" "$fault" first || true
    killed=$(grep -a -m1 ' KILLED$' "$machine/fault-log" 2> /dev/null | cut -d' ' -f3 | sed 's/.*\\//' || true)
    while read -r how name value; do
        [ "$how" = signal ] && [ "$name" = "$killed" ] && [ "$value" = 9 ] && continue
        [ "$how" = signal ] && problems+=("crash: $name killed by signal $value")
        [ "$how" = hang ] && problems+=("hang: $name still running after 60 s")
    done < "$out/ended-first.txt"
    "$state" dump "$machine" > "$out/state-first.txt"
    compared=0
    temporaries=
    # A killed program leaves its temporary files (the record's and WININIT.INI's new text
    # beside them); the second removal must take them away.
    [ "$mode" != kill ] || temporaries='.ls~:.KT~'
    MACHINE_STATE_TEMPORARIES=$temporaries "$state" compare "$work/installed.txt" \
        "$work/removed.txt" "$out/state-first.txt" > "$out/differences.txt" || compared=$?
    # A file the killed program was writing or copying is cut, as on Windows: accepted when
    # nothing but whole files is neither, and the second removal (below) mends it.
    if [ "$compared" -ge 2 ] && [ "$mode" = kill ] &&
        ! grep -a '^third ' "$out/differences.txt" | grep -a -q -v '^third file '; then
        compared=1
    fi
    if [ "$compared" -ge 2 ]; then
        problems+=("neither installed nor removed: $(grep -a '^third ' "$out/differences.txt" | cut -c7- | sed -n '1,3p' | tr '\n\t' '; ')")
    fi
    # Started again without the fault, the removal finishes the work.
    cp "$machine/fault-log" "$out/fault-log-first" 2> /dev/null || true
    rm -f "$machine/fault-counts" "$machine/fault-log" "$machine/fault-counts.lock"
    if [ "$compared" != 0 ]; then
        remove "$build" "$machine" "$out" "" second || problems+=("the second removal did not end well")
    fi
    "$state" dump "$machine" > "$out/state-second.txt"
    "$state" compare "$work/removed.txt" "$work/removed.txt" "$out/state-second.txt" \
        > "$out/differences-second.txt" ||
        problems+=("the second removal left: $(cut -d' ' -f2- "$out/differences-second.txt" | sed -n '1,3p' | tr '\n\t' '; ')")
    said=
    [ ${#problems[@]} = 0 ] || said=$(printf '%s; ' "${problems[@]}" | tr '\t' ' ')
    printf '%s\t%s\t%s\n' "$fault" "$compared" "$said" > "$out/result.txt"
    if [ ${#problems[@]} != 0 ]; then
        exit 1
    fi
    rm -rf "$machine"
    exit 0
fi

build=$(readlink -f "$1")
mode=${2:-transient}
case $mode in
    transient | kill) ;;
    *)
        echo "removal_walk: mode $mode is not transient or kill" >&2
        exit 2
        ;;
esac
work=$(mktemp -d "${TMPDIR:-/tmp}/telvora-removal-walk-XXXXXX")
fail() {
    echo "removal_walk: $*" >&2
    echo "removal_walk: the walks' folder is kept: $work" >&2
    exit 1
}
state=$build/tests/robustness/machine_state

# The kit installed by its walk, once.
bash "$root/kits/demo/assemble" "$build" "$work/kit" > /dev/null
bash "$root/tools/demo/prepare-sim" "$work/kit" "$work/installed" abonne
(cd "$work/installed/cd" && ulimit -c 0 && SIMWIN_MACHINE=$work/installed \
    SIMWIN_WALK=$work/installed/walk SIMWIN_WALK_TIMEOUT=2 \
    "$build/tests/robustness/machine_runner" "$work/install-ended.txt" 120 ./kitassist.exe \
    > "$work/install.log" 2>&1) || fail "the kit's walk failed: $(cat "$work/install-ended.txt")"
[ -f "$work/installed/$install_dir/kitextract.lst" ] || fail "the walk left no installation record"
rm -rf "$work/installed/walk"
"$state" dump "$work/installed" > "$work/installed.txt"

# The clean removal, every operation counted.
clean=$work/clean
mkdir -p "$clean"
cp -r "$work/installed" "$clean/machine"
remove "$build" "$clean/machine" "$clean" count first ||
    fail "the clean removal failed: $(cat "$clean/ended-first.txt")"
[ ! -e "$clean/machine/$install_dir" ] || fail "the clean removal left the installation folder"
grep -q -F 'Le Kit Telvora a été supprimé de cet ordinateur.' <(iconv -f WINDOWS-1252 -t UTF-8 "$clean/boxes-first.log") ||
    fail "the clean removal did not say it was done (boxes: $clean/boxes-first.log)"
rm -f "$clean/machine/fault-counts.lock"
cp "$clean/machine/fault-counts" "$work/fault-counts"
rm -f "$clean/machine/fault-counts" "$clean/machine/fault-log"
"$state" dump "$clean/machine" > "$work/removed.txt"

jobs=$work/jobs.txt
: > "$jobs"
while read -r kind count; do
    for ((n = 1; n <= count; n++)); do echo "$kind:$n:$mode" >> "$jobs"; done
done < "$work/fault-counts"
echo "removal_walk: fault points of the removal: $(tr '\n' ' ' < "$work/fault-counts")(mode $mode)"
if [ -n "${FAULT_WALK_SAMPLE:-}" ] && [ "$FAULT_WALK_SAMPLE" -lt "$(wc -l < "$jobs")" ]; then
    seed=${FAULT_WALK_SEED:-$((RANDOM * 32768 + RANDOM))}
    echo "removal_walk: a sample of $FAULT_WALK_SAMPLE points, seed $seed"
    shuf -n "$FAULT_WALK_SAMPLE" --random-source=<(yes "$seed") "$jobs" > "$jobs.sample"
    mv "$jobs.sample" "$jobs"
fi
start=$SECONDS
status=0
while read -r fault; do
    echo "$fault $work/run-${fault//:/-}"
done < "$jobs" | xargs -P "${FAULT_WALK_JOBS:-4}" -L 1 bash -c \
    'bash "$0" --one "$1" "$2" "$4" "$3"' "$0" "$build" "$work" || status=$?
cat "$work"/run-*/result.txt > "$work/results.txt"
echo "removal_walk: $(wc -l < "$work/results.txt") removals (each started again) in $((SECONDS - start)) s"
echo "removal_walk: first runs that left the machine as the clean removal: $(awk -F'\t' '$2 == 0' "$work/results.txt" | wc -l), between installed and removed: $(awk -F'\t' '$2 == 1' "$work/results.txt" | wc -l)"
failures=$(awk -F'\t' '$3 != ""' "$work/results.txt")
if [ -n "$failures" ] || [ "$status" != 0 ]; then
    echo "removal_walk: FAILED (fault, comparison, problems):" >&2
    printf '%s\n' "$failures" | sed 's/^/  /' >&2
    fail "see the run-* folders"
fi
rm -rf "$work"
echo "removal_walk: passed"
