#!/usr/bin/env bash
# Fails when a shipped program weighs more than its budget (a kit update came by modem, and
# every kilobyte cost the subscriber time), or when a shipped program has no budget.
#
#   check.sh BUDGETS_FILE SHIPPED_PROGRAMS_LIST
#
# BUDGETS_FILE: lines "file.exe bytes" (# starts a comment). SHIPPED_PROGRAMS_LIST: the paths
# of the shipped programs, one a line (shipped-programs.txt of the shipped build).
set -euo pipefail
budgets=$1
programs=$2

declare -A budget
while read -r name bytes _; do
    [ -z "$name" ] || [ "${name:0:1}" = "#" ] && continue
    budget[$name]=$bytes
done < "$budgets"

status=0
while read -r path; do
    [ -n "$path" ] || continue
    name=$(basename "$path")
    size=$(stat -c %s "$path")
    if [ -z "${budget[$name]:-}" ]; then
        echo "$name: $size bytes, no budget in $budgets"
        status=1
    elif [ "$size" -gt "${budget[$name]}" ]; then
        echo "$name: $size bytes, past its budget of ${budget[$name]}"
        status=1
    else
        echo "$name: $size bytes, budget ${budget[$name]}"
    fi
done < "$programs"
exit $status
