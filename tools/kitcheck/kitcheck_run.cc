#include "tools/kitcheck/kit_search.h"
#include "tools/kitcheck/kitcheck.h"
#include "tools/kitcheck/pakonel_check.h"
#include "tools/kitcheck/step_file_check.h"

namespace kitcheck {

bool CheckArguments(const std::vector<std::string>& arguments, Report* report, int* checked,
                    std::string* problem) {
    *checked = 0;
    if (arguments.empty()) {
        *problem = "no kit named";
        return false;
    }
    KitFiles files;
    for (const std::string& argument : arguments) {
        if (!argument.empty() && argument[0] == '-') {
            *problem = "unknown option " + argument;
            return false;
        }
        KitFiles found;
        if (!SearchKit(KitPath{argument, PlatformPath(argument)}, &found)) {
            *problem = argument + ": no such folder or file";
            return false;
        }
        if (found.stepFiles.empty() && found.pakonelFolders.empty()) {
            report->Error(argument, 0, "holds no step file (cfg*.ini) and no Pakonel.ini");
        }
        for (std::size_t i = 0; i < found.stepFiles.size(); ++i) {
            files.stepFiles.push_back(found.stepFiles[i]);
            files.stepFolders.push_back(found.stepFolders[i]);
        }
        for (const KitPath& folder : found.pakonelFolders) files.pakonelFolders.push_back(folder);
    }
    for (const KitPath& folder : files.pakonelFolders) {
        CheckPakonel(folder, report);
        ++*checked;
    }
    for (std::size_t i = 0; i < files.stepFiles.size(); ++i) {
        std::string name = files.stepFiles[i].path.substr(files.stepFolders[i].path.size());
        if (!name.empty() && (name[0] == '\\' || name[0] == '/')) name.erase(0, 1);
        CheckStepFile(files.stepFolders[i], name, report);
        ++*checked;
    }
    return true;
}

}  // namespace kitcheck
