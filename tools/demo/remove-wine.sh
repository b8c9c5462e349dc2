# shellcheck shell=bash disable=SC2154
# The kit's removal at the end of walk-wine's walk (sourced by it, after its variables and
# functions): the entry the installation wrote under Ajout/Suppression de programmes, the
# removal started from that entry's "UninstallString" as the control panel starts it, and what
# it left. Needs: root, here, driver, install, desktop, wine_prefix, wine_home, wine_user, fail.

uninstall_root='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'

# The entry's keys (the kit names its keys KitTelvora-<8 hex digits>).
kit_entries() {
    reg_values "$uninstall_root" | grep -i -o 'KitTelvora-[0-9A-F]*$' || true
}

# An earlier walk's entry and WININIT.INI do not belong to a fresh PC.
forget_removal() {
    local key
    for key in $(kit_entries); do
        reg delete "$uninstall_root\\$key" /f > /dev/null 2>&1 || true
    done
    rm -f "$wine_prefix/drive_c/windows/WININIT.INI" "$wine_prefix/drive_c/windows/wininit.ini"
}

# entry_report: the entry's two values, as the control panel reads them.
entry_report() {
    echo "--- Ajout/Suppression de programmes"
    local key
    for key in $(kit_entries); do
        echo "[$uninstall_root\\$key]"
        reg_values "$uninstall_root\\$key" | grep -E 'DisplayName|UninstallString' || true
    done
}

# remove_kit PATH PATH_OUT SHOTS: runs the removal from the entry, then reports what it left.
remove_kit() {
    local path=$1 path_out=$2 shots=$3 key command program arguments plugin=0
    key=$(kit_entries | head -n 1)
    [ -n "$key" ] || fail "path $path: no entry of the kit under $uninstall_root"
    command=$(reg_values "$uninstall_root\\$key" | sed -n 's/^ *UninstallString *REG_SZ *//p')
    [ -n "$command" ] || fail "path $path: the entry $key has no UninstallString"
    # Split as Windows splits an unquoted command line: the program, then its arguments.
    program=${command%% *}
    arguments=${command#* }
    reg query 'HKCR\vtxfile\Shell\open\command' > /dev/null 2>&1 && plugin=1
    local script=$wine_home/suppression-$path.txt
    if [ "$plugin" = 1 ]; then
        cat "$here/suppression.txt" "$here/suppression-module.txt" "$here/suppression-fin.txt"
    else
        cat "$here/suppression.txt" "$here/suppression-fin.txt"
    fi > "$script"
    chown "$wine_user:" "$script" 2> /dev/null || true
    local status=0
    bash "$root/tests/wine/run-in-wine" "$driver" "$script" SHOTS="$shots" \
        UNINSTALL_PROGRAM="$program" UNINSTALL_ARGUMENTS="$arguments" \
        > "$path_out/pilote-suppression.log" 2>&1 || status=$?
    # Progress on the error output: the standard output is the report.
    tr -d '\r' < "$path_out/pilote-suppression.log" |
        sed -n 's/^ok   L[0-9]* say: \(.*\) ([0-9]* ms)$/  \1/p' >&2
    if [ "$status" != 0 ]; then
        tail -n 40 "$path_out/pilote-suppression.log" >&2
        fail "the removal of path $path failed (log: $path_out/pilote-suppression.log)"
    fi
    echo "=== Ce que la suppression a laissé (chemin « $path ») ==="
    echo "Commande de Ajout/Suppression de programmes : $command"
    if [ -e "$install" ]; then
        echo "C:\\Program Files\\Telvora est resté :"
        (cd "$install" && find . -printf '%P\n' | sort)
    else
        echo "C:\\Program Files\\Telvora : supprimé"
    fi
    [ -e "$desktop/Espace Telvora.lnk" ] && echo "Raccourci « Espace Telvora » : resté" ||
        echo "Raccourci « Espace Telvora » : supprimé"
    if reg query "$uninstall_root\\$key" > /dev/null 2>&1; then
        echo "Inscription $key : restée"
    else
        echo "Inscription $key : supprimée"
    fi
    if reg query 'HKCR\vtxfile' > /dev/null 2>&1; then
        echo "Module vidéotex : inscrit"
    else
        echo "Module vidéotex : non inscrit"
    fi
    echo "WININIT.INI (supprimé au prochain démarrage de Windows) :"
    local wininit
    wininit=$(find "$wine_prefix/drive_c/windows" -maxdepth 1 -iname wininit.ini | head -n 1)
    if [ -n "$wininit" ]; then
        tr -d '\r' < "$wininit" | iconv -f WINDOWS-1252 -t UTF-8
    else
        echo "(absent)"
    fi
    echo "Réglages d'abonné gardés :"
    reg_values 'HKCU\RemoteAccess' | grep -E 'InternetProfile' || echo "(aucun)"
}
