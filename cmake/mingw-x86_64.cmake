# Cross build of the same tree for 64-bit Windows. Never shipped: it exists so that the Wine
# tests can run on machines whose kernel starts no 32-bit programs, where only wine64 works.
set(TELVORA_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
