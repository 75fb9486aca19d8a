// The launcher: a command for the running copy (--start, --stop, --toggle,
// --status, as bound to a key in a game) is passed on without loading Qt,
// so that it takes about as long as any small command; everything else runs
// the program with its window. On Linux that program is a module loaded
// here; on Windows, one static executable, it is linked in.
#include <cstdio>
#include <string>
#include "QuindorelConfig.h"

#include "WindowMain.h"
#include "command/CommandLink.h"

#if !QUINDOREL_WINDOWS
#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>
#endif

namespace {

#if !QUINDOREL_WINDOWS
int runWindowProgram(int argc, char* argv[]) {
    char self[PATH_MAX] = {};
    const ssize_t length = ::readlink("/proc/self/exe", self, sizeof self - 1);
    std::string folder = length > 0 ? std::string(self, static_cast<std::size_t>(length)) : "";
    folder = folder.substr(0, folder.rfind('/') + 1);
    // Beside the program in a build folder; in the private library folder
    // when installed. Bound lazily: a start calls about 300 of the 750
    // functions the module takes from Qt and the system libraries, and
    // binding each on its first call spares the others their lookups. The
    // module is linked with no symbol left unresolved.
    std::string error;
    for (const std::string& path :
         {folder + "libquindorel_window.so", folder + QUINDOREL_WINDOW_MODULE}) {
        if (void* module = ::dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL)) {
            using Main = int (*)(int, char**);
            const auto run = reinterpret_cast<Main>(::dlsym(module, "quindorelWindowMain"));
            if (run != nullptr) {
                return run(argc, argv);
            }
        }
        const char* why = ::dlerror();
        error = why != nullptr ? why : path;
    }
    std::fprintf(stderr, "quindorel: cannot load the program's window: %s\n", error.c_str());
    return 1;
}
#else
int runWindowProgram(int argc, char* argv[]) {
    return quindorelWindowMain(argc, argv);
}
#endif

}  // namespace

int main(int argc, char* argv[]) {
    using quindorel::command::Verb;
    const auto verb = argc >= 2 ? quindorel::command::optionVerb(argv[1]) : std::nullopt;
    if (verb && argc == (*verb == Verb::ToggleKey ? 3 : 2) &&
        (*verb != Verb::ToggleKey || quindorel::command::fitsRequest(argv[2]))) {
        // A copy that took the command is alive: it is waited for (a start
        // may wait on the desktop's dialog), never started again.
        bool reached = false;
        const quindorel::command::Request request(
            *verb, *verb == Verb::ToggleKey ? std::string(argv[2]) : std::string());
        if (const auto reply = quindorel::commandlink::ask(
                request, {}, quindorel::command::replyTimeoutMs(*verb), &reached)) {
            return quindorel::commandlink::printReply(*reply);
        }
        if (reached) {
            return quindorel::commandlink::printNoAnswer();
        }
    }
    return runWindowProgram(argc, argv);
}
