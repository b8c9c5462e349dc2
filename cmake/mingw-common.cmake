# What both Windows cross builds share; included by mingw-i686.cmake and mingw-x86_64.cmake,
# which set TELVORA_MINGW_TRIPLET and CMAKE_SYSTEM_PROCESSOR first.
#
# TELVORA_THREAD_MODEL picks MinGW's thread model. "win32" (no winpthreads) is the one for the
# programs we ship: winpthreads imports functions that Windows 95/98 do not export, and their
# loader then refuses the program. GoogleTest needs std::mutex, which only "posix" has in this
# compiler, so the test trees keep "posix".
set(TELVORA_THREAD_MODEL posix CACHE STRING "MinGW thread model: posix (tests) or win32 (shipped programs)")
set_property(CACHE TELVORA_THREAD_MODEL PROPERTY STRINGS posix win32)
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TELVORA_THREAD_MODEL TELVORA_MINGW_TRIPLET)

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${TELVORA_MINGW_TRIPLET}-gcc-${TELVORA_THREAD_MODEL})
set(CMAKE_CXX_COMPILER ${TELVORA_MINGW_TRIPLET}-g++-${TELVORA_THREAD_MODEL})
set(CMAKE_RC_COMPILER ${TELVORA_MINGW_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TELVORA_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
