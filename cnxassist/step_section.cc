#include "cnxassist/step_section.h"

#include "common/profile_access.h"

namespace cnx {
namespace {

// The section of the step being built, null between two buildings. The wizard runs one thread.
const kit::ProfileSection* g_building = nullptr;

const kit::ProfileSection* BuildingSection(const char* iniPath, const char* section) {
    if (g_building == nullptr || iniPath == nullptr || section == nullptr) return nullptr;
    if (g_building->File() != iniPath || g_building->Name() != section) return nullptr;
    return g_building;
}

}  // namespace

StepSectionScope::StepSectionScope(const std::string& iniPath, const char* name)
    : section_(iniPath, name != nullptr ? name : ""), outer_(g_building) {
    g_building = &section_;
}

StepSectionScope::~StepSectionScope() { g_building = outer_; }

std::string ReadStepFileString(const char* iniPath, const char* section, const char* key,
                               std::size_t capacity) {
    if (const kit::ProfileSection* kept = BuildingSection(iniPath, section)) {
        return kept->ReadString(key, "", capacity);
    }
    return kit::ReadProfileString(iniPath, section, key, "", capacity);
}

int ReadStepFileInt(const char* iniPath, const char* section, const char* key, int defaultValue) {
    if (const kit::ProfileSection* kept = BuildingSection(iniPath, section)) {
        return kept->ReadInt(key, defaultValue);
    }
    return kit::ReadProfileInt(iniPath, section, key, defaultValue);
}

}  // namespace cnx
