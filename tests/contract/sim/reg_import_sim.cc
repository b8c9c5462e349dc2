#include "platform/sim/machine.h"
#include "platform/sim/registry_store.h"
#include "tests/contract/reg_import.h"

namespace contract {

bool ImportRegFile(const std::string& windowsPath) {
    std::string hostPath;
    if (!sim::Machine::Current().ToHostPath(windowsPath, &hostPath)) return false;
    return sim::ImportRegFile(hostPath);
}

}  // namespace contract
