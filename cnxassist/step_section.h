// While a step is being built, its section of the step file read once: the step's constructor,
// its registry script and its page read a dozen keys or more of that section, each of which
// would cost a look at the file. Only the building reads from it; afterwards every read goes to
// the file again, so a step reads what the file holds when it reads.
#pragma once

#include <cstddef>
#include <string>

#include "common/profile_section.h"

namespace cnx {

// Reads section `name` of the step file `iniPath` and offers it to the reads below until it
// ends. Scopes nest: a step built while another is being built has its own.
class StepSectionScope {
  public:
    StepSectionScope(const std::string& iniPath, const char* name);
    ~StepSectionScope();
    StepSectionScope(const StepSectionScope&) = delete;
    StepSectionScope& operator=(const StepSectionScope&) = delete;

  private:
    kit::ProfileSection section_;
    const kit::ProfileSection* outer_;
};

// kit::ReadProfileString / kit::ReadProfileInt of the step file, answered from the section of
// the step being built when it is this one.
std::string ReadStepFileString(const char* iniPath, const char* section, const char* key,
                               std::size_t capacity);
int ReadStepFileInt(const char* iniPath, const char* section, const char* key, int defaultValue);

}  // namespace cnx
