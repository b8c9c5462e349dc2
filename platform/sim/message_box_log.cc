#include "platform/sim/message_box_log.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/sim/fault_switch.h"

namespace sim {
namespace {

std::string OneLine(const std::string& text) {
    std::string line;
    for (char c : text) {
        if (c == '\r') continue;
        if (c == '\n') {
            line += "\\n";
        } else {
            line += c == '\t' ? ' ' : c;
        }
    }
    return line;
}

}  // namespace

void LogMessageBox(const std::string& caption, const std::string& text) {
    NoteBoxInFaultLog(OneLine(text));
    const char* file = std::getenv("SIMWIN_BOX_LOG");
    if (file == nullptr || *file == '\0') return;
    int fd = open(file, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) return;
    std::string line = std::string(program_invocation_short_name) + "\t" + OneLine(caption) + "\t" +
                       OneLine(text) + "\n";
    // One write with O_APPEND: the lines of several programs do not mix.
    ssize_t ignored = write(fd, line.data(), line.size());
    (void)ignored;
    close(fd);
}

}  // namespace sim
