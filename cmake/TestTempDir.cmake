# Every test of a host build runs with TMPDIR set to one folder of the build, test-tmp, made
# empty when a CTest run starts. When the run ends, test.temp_dir.leftovers fails if anything
# is left in it, names what was left, and removes it: a test that does not clean up after itself
# would otherwise fill the temporary directory of every machine that runs the suite.
#
#   telvora_uses_test_temp_dir(<test>...)  puts tests added with add_test under it
#   TELVORA_TEST_TEMP_PROPERTIES           the same properties, for gtest_discover_tests
#
# The set-up and the check themselves are registered once, when the top folder's CMakeLists.txt
# has been read (testing is enabled by then), on host builds only: a Windows build runs no test.

set(TELVORA_TEST_TMPDIR ${CMAKE_BINARY_DIR}/test-tmp)
set(TELVORA_TEST_TEMP_PROPERTIES ENVIRONMENT "TMPDIR=${TELVORA_TEST_TMPDIR}"
                                 FIXTURES_REQUIRED test_temp_dir)
set(TELVORA_TEST_TEMP_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/../tests/temp-dir-check.sh)

function(telvora_test_temp_dir_check)
    add_test(NAME test.temp_dir.setup
             COMMAND bash ${TELVORA_TEST_TEMP_SCRIPT} setup ${TELVORA_TEST_TMPDIR})
    add_test(NAME test.temp_dir.leftovers
             COMMAND bash ${TELVORA_TEST_TEMP_SCRIPT} check ${TELVORA_TEST_TMPDIR})
    set_tests_properties(test.temp_dir.setup PROPERTIES FIXTURES_SETUP test_temp_dir)
    set_tests_properties(test.temp_dir.leftovers PROPERTIES FIXTURES_CLEANUP test_temp_dir)
endfunction()

function(telvora_uses_test_temp_dir)
    set_property(TEST ${ARGN} APPEND PROPERTY ENVIRONMENT "TMPDIR=${TELVORA_TEST_TMPDIR}")
    set_property(TEST ${ARGN} APPEND PROPERTY FIXTURES_REQUIRED test_temp_dir)
endfunction()

if(NOT WIN32 AND CMAKE_CURRENT_SOURCE_DIR STREQUAL CMAKE_SOURCE_DIR)
    cmake_language(DEFER CALL telvora_test_temp_dir_check)
endif()
