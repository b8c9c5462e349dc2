# Warnings are errors on both builds. Sources are UTF-8; string literals become Windows-1252
# bytes, the code page of every text the programs show or store.
add_compile_options(-Wall -Wextra -Werror -Wshadow -Wno-unused-parameter
                    -finput-charset=UTF-8 -fexec-charset=CP1252)
if(TELVORA_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
    add_link_options(-fsanitize=address,undefined)
endif()

# Declares a GoogleTest executable. On the win32 build CTest runs it under Wine.
function(telvora_gtest name)
    add_executable(${name} ${ARGN})
    target_link_libraries(${name} PRIVATE GTest::gtest GTest::gtest_main)
    if(WIN32)
        gtest_discover_tests(${name} DISCOVERY_TIMEOUT 120 PROPERTIES LABELS wine)
    else()
        gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
    endif()
endfunction()
