#!/bin/bash
# driver_e2e.sh TEST_BUILD_DIR
# End-to-end test of testdrv.exe on fixture_app.exe (tests/driver): the full scenario of
# driver_e2e.txt, the file the fixture writes (Windows-1252 bytes), the screenshots, and the
# driver's own failures (a wrong expectation, a disabled button, a bad script).
set -euo pipefail
here=$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")
# shellcheck source=tests/wine/wine-env.sh
source "$here/../wine-env.sh"

win32_dir=$1
driver=$win32_dir/tests/driver/testdrv.exe
fixture=$win32_dir/tests/driver/fixture_app.exe
out=$wine_artefacts/driver_e2e
rm -rf "$out"
make_wine_user_dir "$out"

fail() {
    echo "driver_e2e: $*" >&2
    exit 1
}

run_driver() {
    bash "$here/../run-in-wine" "$driver" "$@"
}

# 1. The scenario.
run_driver "$here/driver_e2e.txt" FIXTURE="$fixture" OUT="$out/answer.txt" ARTEFACTS="$out" |
    tee "$out/driver_e2e.log"
[ "${PIPESTATUS[0]}" = 0 ] || fail "the scenario failed (log: $out/driver_e2e.log)"

# 2. The fixture wrote Windows-1252 bytes with CR LF line ends.
printf 'reponse=non\r\nnom=Zo\xe9 Lef\xe8vre\r\nconnexion=numeris\r\n' > "$out/answer.expected"
cmp "$out/answer.txt" "$out/answer.expected" || fail "unexpected bytes in $out/answer.txt"

# 3. The screenshots are 24-bit pictures of the window (366 x 233) and of the screen.
check_bmp() {
    local file=$1 width=$2 height=$3
    [ "$(head -c 2 "$file")" = BM ] || fail "$file is not a .bmp file"
    local size
    size=$(od -An -t d4 -j 18 -N 8 "$file" | xargs)
    [ "$size" = "$width $height" ] || fail "$file is $size, not $width $height"
    [ "$(od -An -t d2 -j 28 -N 2 "$file" | xargs)" = 24 ] || fail "$file is not 24-bit"
    if [ -x /usr/bin/convert ]; then
        convert "$file" "${file%.bmp}.png"
        local colours
        colours=$(convert "$file" -format %k info:)
        [ "$colours" -gt 8 ] || fail "$file has only $colours colours: nothing drawn?"
    fi
}
check_bmp "$out/fixture_filled.bmp" 366 233
check_bmp "$out/fixture_question.bmp" 1024 768

# 4. A failed expectation stops the run with exit code 1, says what was wanted and what was
#    there, shows the windows, and ends the program it started.
expect_failure() {
    local name=$1 code=$2 pattern=$3
    local status=0
    run_driver "$out/$name.txt" FIXTURE="$fixture" OUT="$out/$name.out" > "$out/$name.log" ||
        status=$?
    [ "$status" = "$code" ] || fail "$name: exit code $status, not $code (log: $out/$name.log)"
    grep -q -- "$pattern" "$out/$name.log" || fail "$name: no \"$pattern\" in $out/$name.log"
}
cat > "$out/wrong_text.txt" << 'SCRIPT'
start ${FIXTURE} ${OUT}
wait-window class=#32770
expect 1001 text="Élodie" timeout=300
SCRIPT
expect_failure wrong_text 1 'FAIL L3 expect: 1001 text="Élodie" after 300 ms; text wanted "Élodie", actual ""'
grep -q 'id=1001 class=Edit' "$out/wrong_text.log" || fail "wrong_text: no window dump"
grep -q 'note: ended fixture_app.exe' "$out/wrong_text.log" || fail "wrong_text: fixture left running"

cat > "$out/disabled.txt" << 'SCRIPT'
start ${FIXTURE} ${OUT}
wait-window class=#32770
click 1006 timeout=300
SCRIPT
expect_failure disabled 1 'control id 1006 cannot be used:.*enabled=0'

cat > "$out/bad_script.txt" << 'SCRIPT'
start ${FIXTURE}
clik 1004
SCRIPT
expect_failure bad_script 2 'line 2: unknown command "clik"'

echo "driver_e2e: passed (artefacts in $out)"
