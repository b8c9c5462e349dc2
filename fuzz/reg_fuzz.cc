// Arbitrary bytes as a .reg file. Whatever parses must survive being written back: writing the
// registry it gives and parsing that again yields the same registry and the same text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/sim/regedit4.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    sim::RegScript script;
    std::string error;
    if (!sim::ParseRegedit4(text, "fuzz.reg", &script, &error)) {
        // A rejected file always says where.
        if (error.rfind("fuzz.reg:", 0) != 0) std::abort();
        return 0;
    }
    sim::RegTree tree;
    sim::ApplyRegScript(script, &tree);
    std::string written = sim::WriteRegedit4(tree);

    sim::RegScript again;
    if (!sim::ParseRegedit4(written, "written.reg", &again, &error)) std::abort();
    sim::RegTree reread;
    sim::ApplyRegScript(again, &reread);
    if (!(reread == tree)) std::abort();
    if (sim::WriteRegedit4(reread) != written) std::abort();
    return 0;
}
