#!/bin/bash
# wine-mode.sh
# Tells how the Wine tests can run on this machine. Prints two lines: the mode ("32" or "64"),
# then one sentence for people, and exits 0; or explains why no mode can run and exits 1.
#
#   32  the i686 build in a 32-bit prefix, through /usr/bin/wine (the real product as shipped)
#   64  the x86_64 build in a 64-bit prefix, through wine64, for kernels that start no 32-bit
#       programs (Debian's Wine has no other way to run 32-bit Windows programs there)
#
# TELVORA_WINE_MODE=32 or 64 forces a mode (it still has to work here); empty or "auto" picks
# 32 where it works, else 64.
set -uo pipefail

wine32_loader=/usr/lib/wine/wine
wine64_loader=/usr/lib/wine/wine64
apt_hint="apt-get install wine wine64 wine32:i386 (after dpkg --add-architecture i386), or run tools/install-deps"

# The 32-bit loader is a 32-bit ELF program: where the kernel has no 32-bit emulation, exec
# fails with "Exec format error" before Wine prints anything.
why_not_32() {
    if [ ! -x "$wine32_loader" ]; then
        echo "Wine's 32-bit part is not installed ($wine32_loader is missing; $apt_hint)"
        return
    fi
    local out
    if ! out=$("$wine32_loader" --version 2>&1); then
        if grep -q "Exec format error" <<< "$out" || [ -z "$out" ]; then
            echo "this kernel runs no 32-bit programs: $wine32_loader gives Exec format error"
        else
            echo "$wine32_loader --version failed: $out"
        fi
    fi
}

why_not_64() {
    if [ ! -x "$wine64_loader" ]; then
        echo "wine64 is not installed ($wine64_loader is missing; $apt_hint)"
        return
    fi
    local out
    if ! out=$("$wine64_loader" --version 2>&1); then
        echo "$wine64_loader --version failed: $out"
    fi
}

for tool in wineserver Xvfb; do
    if ! command -v "$tool" > /dev/null; then
        echo "Wine tests cannot run: $tool is not installed ($apt_hint; Xvfb comes with xvfb)" >&2
        exit 1
    fi
done

requested=${TELVORA_WINE_MODE:-auto}
case "$requested" in
    32 | 64 | auto) ;;
    *)
        echo "TELVORA_WINE_MODE must be 32, 64 or auto, not '$requested'" >&2
        exit 1
        ;;
esac

reason32=$(why_not_32)
if [ "$requested" != 64 ] && [ -z "$reason32" ]; then
    echo 32
    echo "Wine: 32-bit build in a 32-bit prefix (the programs as shipped)"
    exit 0
fi
if [ "$requested" = 32 ]; then
    echo "Wine tests cannot run in 32-bit mode (TELVORA_WINE_MODE=32): $reason32" >&2
    exit 1
fi

reason64=$(why_not_64)
if [ -z "$reason64" ]; then
    echo 64
    if [ "$requested" = 64 ]; then
        echo "Wine: 64-bit build under wine64 (TELVORA_WINE_MODE=64)"
    else
        echo "Wine: 64-bit build under wine64 ($reason32)"
    fi
    exit 0
fi
if [ "$requested" = 64 ]; then
    echo "Wine tests cannot run in 64-bit mode (TELVORA_WINE_MODE=64): $reason64" >&2
else
    echo "Wine tests cannot run: no 32-bit mode ($reason32) and no 64-bit mode ($reason64)" >&2
fi
exit 1
