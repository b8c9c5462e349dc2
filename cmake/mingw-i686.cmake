# Cross build for 32-bit Windows: the real product, for Windows 95/98.
set(TELVORA_MINGW_TRIPLET i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# Windows 95/98 refuse a program whose header asks for a newer system: keep the subsystem and
# OS versions at 4.0 whatever the linker's default becomes.
string(APPEND CMAKE_EXE_LINKER_FLAGS_INIT
       " -Wl,--major-subsystem-version,4,--minor-subsystem-version,0"
       " -Wl,--major-os-version,4,--minor-os-version,0")
