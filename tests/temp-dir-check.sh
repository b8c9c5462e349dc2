#!/bin/bash
# temp-dir-check.sh setup|check FOLDER
# The temporary directory of a CTest run (cmake/TestTempDir.cmake).
#   setup  makes FOLDER anew and empty; every user may write in it, as in /tmp, since the Wine
#          tests run their programs as another user.
#   check  fails when anything is left in FOLDER, and says what; then removes it all, except
#          the folders failed tests kept for a look (marked with a file ".kept"), named here.
set -uo pipefail
mode=$1
folder=$2
case $mode in
setup)
    rm -rf "$folder"
    mkdir -p "$folder" && chmod 1777 "$folder" || exit 1
    echo "temporary directory of this run: $folder"
    ;;
check)
    if [ ! -d "$folder" ]; then
        echo "no temporary directory $folder (its set-up did not run)" >&2
        exit 1
    fi
    # A failed test keeps its folder for a look, marked with a file ".kept" that names the
    # test: it is named here and stays until the next run's set-up.
    kept=0
    for mark in "$folder"/*/.kept; do
        [ -f "$mark" ] || continue
        echo "kept by the failed test $(head -n 1 "$mark"): $(dirname "$mark")"
        kept=$((kept + 1))
    done
    mapfile -t left < <(find "$folder" -mindepth 1 -maxdepth 1 '!' -exec test -f '{}/.kept' ';' -print | sort)
    if [ ${#left[@]} -eq 0 ]; then
        [ "$kept" != 0 ] || rmdir "$folder"
        echo "nothing left in the temporary directory"
        exit 0
    fi
    echo "${#left[@]} entries left in the temporary directory by the tests:" >&2
    for entry in "${left[@]}"; do
        echo "  ${entry#"$folder"/}" >&2
    done
    for entry in "${left[@]}"; do rm -rf "$entry"; done
    [ "$kept" != 0 ] || rm -rf "$folder"
    exit 1
    ;;
*)
    echo "usage: $0 setup|check FOLDER" >&2
    exit 2
    ;;
esac
