# The Windows trees of a host build with TELVORA_WITH_WIN32=ON, and the tests that use them.
#
#   shipped/  i686, MinGW's win32 thread model, built for size and stripped: the programs a kit
#             carries, as a subscriber gets them. Checked against the exports of Windows 95/98
#             (win9x_imports) and against their size budgets (tools/size_budget).
#   win32/    i686, posix thread model: the test programs (GoogleTest needs std::mutex), where the
#             kernel runs 32-bit programs. The Wine tests then run the shipped programs.
#   win64/    x86_64, posix thread model: the whole tree again, where the kernel runs no 32-bit
#             programs and only wine64 works. The Wine tests then run everything from here.
#
# tests/wine/wine-mode.sh picks the mode; TELVORA_WINE_MODE=32 or 64 forces one.

execute_process(
    COMMAND bash ${CMAKE_SOURCE_DIR}/tests/wine/wine-mode.sh
    OUTPUT_VARIABLE wine_mode_output
    ERROR_VARIABLE wine_mode_error
    RESULT_VARIABLE wine_mode_status)
if(NOT wine_mode_status EQUAL 0)
    message(FATAL_ERROR "${wine_mode_error}")
endif()
string(REPLACE "\n" ";" wine_mode_output "${wine_mode_output}")
list(GET wine_mode_output 0 TELVORA_WINE_ARCH)
list(GET wine_mode_output 1 TELVORA_WINE_LINE)
message(STATUS "${TELVORA_WINE_LINE}")

set(TELVORA_SHIPPED_DIR ${CMAKE_BINARY_DIR}/shipped)
ExternalProject_Add(shipped
    SOURCE_DIR ${CMAKE_SOURCE_DIR}
    BINARY_DIR ${TELVORA_SHIPPED_DIR}
    CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-i686.cmake
               -DCMAKE_BUILD_TYPE=MinSizeRel
               -DTELVORA_THREAD_MODEL=win32
               -DTELVORA_SHIPPED_ONLY=ON
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON
    USES_TERMINAL_BUILD ON)

if(TELVORA_WINE_ARCH STREQUAL 32)
    set(wine_tree win32)
    set(wine_toolchain mingw-i686.cmake)
    set(TELVORA_PROGRAMS_DIR ${TELVORA_SHIPPED_DIR})
else()
    set(wine_tree win64)
    set(wine_toolchain mingw-x86_64.cmake)
    set(TELVORA_PROGRAMS_DIR ${CMAKE_BINARY_DIR}/win64)
endif()
# The tree whose test programs (and, in 64-bit mode, programs) run under Wine.
set(TELVORA_WIN32_DIR ${CMAKE_BINARY_DIR}/${wine_tree})
ExternalProject_Add(${wine_tree}
    SOURCE_DIR ${CMAKE_SOURCE_DIR}
    BINARY_DIR ${TELVORA_WIN32_DIR}
    CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/${wine_toolchain}
               -DCMAKE_BUILD_TYPE=Release
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON
    USES_TERMINAL_BUILD ON)

# What the main job and people running a Wine test by hand need to know of this build.
file(WRITE ${CMAKE_BINARY_DIR}/wine-trees.env
     "# Written by cmake/WindowsTrees.cmake; sourced by tools/main-job.\n"
     "wine_arch=${TELVORA_WINE_ARCH}\n"
     "wine_line='${TELVORA_WINE_LINE}'\n"
     "wine_tree=${TELVORA_WIN32_DIR}\n"
     "programs_tree=${TELVORA_PROGRAMS_DIR}\n"
     "shipped_tree=${TELVORA_SHIPPED_DIR}\n")

# CTest prints this line before it runs the tests and again after its summary, so that every
# run says which Wine it used.
file(WRITE ${CMAKE_BINARY_DIR}/CTestCustom.cmake
     "set(CTEST_CUSTOM_PRE_TEST \"echo ${TELVORA_WINE_LINE}\")\n"
     "set(CTEST_CUSTOM_POST_TEST \"echo ${TELVORA_WINE_LINE}\")\n")

# The shipped programs must load on Windows 95/98: every function they import must be one that
# those systems export, and their headers must ask for nothing newer.
set(win9x_exports ${CMAKE_SOURCE_DIR}/tools/win9x_imports/exports)
add_test(NAME win9x_imports
         COMMAND win9x_imports ${win9x_exports} @${TELVORA_SHIPPED_DIR}/shipped-programs.txt)
# The check refuses a program built with the posix thread model (winpthreads' imports).
add_test(NAME win9x_imports.posix_probe_refused
         COMMAND win9x_imports ${win9x_exports}
                 ${TELVORA_SHIPPED_DIR}/tools/win9x_imports/posix_probe/posix_probe.exe)
set_tests_properties(win9x_imports.posix_probe_refused PROPERTIES
    PASS_REGULAR_EXPRESSION "KERNEL32\\.dll!GetTickCount64: not exported by Windows 95/98")
# The wizards find the shell's and COM's functions when they first need them (the folder
# browser, the desktop, shortcuts): imported, shell32.dll and ole32.dll would be loaded before
# the first page at every start.
add_test(NAME wizards_start_without_shell
         COMMAND bash -c "imports=$(\"$0\" --list \"$1\" \"$2\" \"$3\") && ! grep -i -E '^(shell32|ole32)\\.dll!' <<< \"$imports\""
                 $<TARGET_FILE:win9x_imports> ${win9x_exports}
                 ${TELVORA_SHIPPED_DIR}/kitassist/kitassist.exe
                 ${TELVORA_SHIPPED_DIR}/cnxassist/cnxassist.exe)
set_tests_properties(win9x_imports win9x_imports.posix_probe_refused wizards_start_without_shell
                     PROPERTIES LABELS win9x)

# The shipped programs must not grow past their budgets (today's sizes plus a tenth).
add_test(NAME shipped_size_budget
         COMMAND bash ${CMAKE_SOURCE_DIR}/tools/size_budget/check.sh
                 ${CMAKE_SOURCE_DIR}/tools/size_budget/budgets.txt
                 ${TELVORA_SHIPPED_DIR}/shipped-programs.txt)
set_tests_properties(shipped_size_budget PROPERTIES LABELS size)

add_subdirectory(tests/wine)
