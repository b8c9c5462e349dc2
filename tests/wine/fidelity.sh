# shellcheck shell=bash disable=SC2154
# The demonstration walks' fidelity check (sourced after wine-env.sh, with root and fail set).
#
# compare_with_preview FLOOR TABLE WINE_PAGES_DIR...: kitpreview draws the demonstration kit
# from the host build beside the Wine state; pagecompare sets its pages against Wine's
# screenshots of the same pages, writes the table to TABLE and prints it. Fails (status 1) when
# a page is below FLOOR % of identical pixels in its client area.
compare_with_preview() {
    local floor=$1 table=$2
    shift 2
    local host_build preview status=0
    host_build=$(dirname "$TELVORA_WINE_DIR")
    preview=$(mktemp -d "${TMPDIR:-/tmp}/telvora-fidelity-XXXXXX")
    bash "$root/kits/demo/assemble" "$host_build" "$preview/kit" > /dev/null
    if ! "$host_build/tools/kitpreview/kitpreview" "$preview/kit" "$preview/pages" > /dev/null; then
        rm -rf "$preview"
        fail "kitpreview failed on the demonstration kit"
    fi
    "$host_build/tools/kitpreview/pagecompare" "$preview/pages" "$@" --min "$floor" > "$table" ||
        status=$?
    cat "$table"
    rm -rf "$preview"
    return "$status"
}
