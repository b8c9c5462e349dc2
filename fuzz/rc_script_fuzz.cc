// The resource script reader of the simulated machine on arbitrary text: it must answer with
// resources or an error, never crash or hang.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/sim/rc_script.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    sim::RcScript script;
    std::string error;
    sim::ParseResourceScript(text, {"#include <windows.h>\n#define IDC_BASE 100\n"}, &script,
                             &error);
    return 0;
}
