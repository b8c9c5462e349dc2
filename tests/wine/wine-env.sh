# Shared by the Wine test scripts (sourced, not run). Needs TELVORA_WINE_DIR: the folder of the
# run's Wine state, <host build>/wine, which CTest passes to every Wine test.
#
#   <state>/prefix     the Wine prefix (Windows 98), owned by the user Wine runs as
#   <state>/home       that user's HOME
#   <state>/artefacts  what tests leave behind for people to look at (screenshots, logs)
#   <state>/display    the X display of the run's Xvfb, <state>/xvfb.pid its process
#   <state>/logs       output of the set-up steps

if [ -z "${TELVORA_WINE_DIR:-}" ]; then
    echo "TELVORA_WINE_DIR is not set (run the Wine tests through ctest)" >&2
    exit 2
fi
# shellcheck disable=SC2034  # the scripts that source this file use these names
wine_state=$TELVORA_WINE_DIR
# shellcheck disable=SC2034
wine_prefix=$wine_state/prefix
# shellcheck disable=SC2034
wine_home=$wine_state/home
# shellcheck disable=SC2034
wine_artefacts=$wine_state/artefacts
# shellcheck disable=SC2034
wine_logs=$wine_state/logs

# The mode of this run (tests/wine/wine-mode.sh): CTest passes the one CMake picked; a script
# run by hand asks.
wine_mode=${TELVORA_WINE_MODE:-auto}
if [ "$wine_mode" != 32 ] && [ "$wine_mode" != 64 ]; then
    wine_mode=$(bash "$(dirname "${BASH_SOURCE[0]}")/wine-mode.sh" | head -n 1)
    [ -n "$wine_mode" ] || exit 2
fi
# In the 64-bit mode, "wine" is wine64 (bin64/wine) for every command of the scripts.
wine_mode_environment=()
if [ "$wine_mode" = 64 ]; then
    wine_mode_environment=(WINELOADER=/usr/lib/wine/wine64
                           PATH="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/bin64:$PATH")
fi

# Wine run as root writes over read-only files (root ignores the Unix permission that stands
# for the read-only attribute), so under root every Wine program runs as the unprivileged
# user "nobody" instead.
if [ "$(id -u)" = 0 ]; then
    wine_user=nobody
else
    wine_user=$(id -un)
fi

# Runs a command as the Wine user, with the environment every Wine program of the run gets.
# WINE_EXTRA_ENV may hold more NAME=VALUE words (used by the set-up).
# LANG=en_US.UTF-8 makes Wine's ANSI code page 1252. Wine takes the encoding of Unix file names
# from LC_CTYPE, which must name a locale the machine has: with en_US.UTF-8 missing (as on a
# bare Debian), "é" in a path is garbled and such files cannot even be created. C.UTF-8 is
# always there; LC_ALL would override both, so it goes.
as_wine_user() {
    local display=""
    [ -f "$wine_state/display" ] && display=:$(cat "$wine_state/display")
    # shellcheck disable=SC2206  # WINE_EXTRA_ENV is a list of words on purpose
    local environment=(-u LC_ALL HOME="$wine_home" WINEPREFIX="$wine_prefix" WINEDEBUG=-all
                       LANG=en_US.UTF-8 LC_CTYPE=C.UTF-8 DISPLAY="$display"
                       "${wine_mode_environment[@]}" ${WINE_EXTRA_ENV:-})
    if [ "$(id -u)" = 0 ]; then
        runuser -u "$wine_user" -- env "${environment[@]}" "$@"
    else
        env "${environment[@]}" "$@"
    fi
}

# Creates a folder the Wine user owns.
make_wine_user_dir() {
    mkdir -p "$1"
    if [ "$(id -u)" = 0 ]; then chown "$wine_user:" "$1"; fi
}
