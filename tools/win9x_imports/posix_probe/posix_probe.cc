// A program like ours (strings, exceptions, static C++ runtime) built with MinGW's posix thread
// model. Its runtime drags in winpthreads, which imports functions Windows 95/98 lack; the
// imports check must say so, or it would also miss them in a real program.
#include <stdexcept>
#include <string>

int main(int argc, char** argv) {
    try {
        std::string first(argc > 1 ? argv[1] : "");
        if (first.empty()) throw std::runtime_error("no argument");
        return static_cast<int>(first.size());
    } catch (const std::exception&) {
        return 1;
    }
}
