# Warnings are errors on both builds. Sources are UTF-8; string literals become Windows-1252
# bytes, the code page of every text the programs show or store.
add_compile_options(-Wall -Wextra -Werror -Wshadow -Wno-unused-parameter
                    -finput-charset=UTF-8 -fexec-charset=CP1252)
if(TELVORA_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
    add_link_options(-fsanitize=address,undefined)
endif()

# Declares a GoogleTest executable. The host build lists its cases for CTest; a win32 test
# executable is run whole under Wine by the host build's Wine tests (tests/wine), in the
# prepared prefix, so the win32 build itself starts no Wine.
# Each case runs with the temporary directory of the run (cmake/TestTempDir.cmake).
include(${CMAKE_CURRENT_LIST_DIR}/TestTempDir.cmake)
function(telvora_gtest name)
    add_executable(${name} ${ARGN})
    target_link_libraries(${name} PRIVATE GTest::gtest GTest::gtest_main)
    if(NOT WIN32)
        gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
                             PROPERTIES ${TELVORA_TEST_TEMP_PROPERTIES})
    endif()
endfunction()
