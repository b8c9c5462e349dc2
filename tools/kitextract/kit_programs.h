// What the removal must know of the kit's other programs: the files they write in the
// installation folder, and whether one of them is running.
#pragma once

#include <string>
#include <vector>

#include "common/install_record.h"

namespace kitextract {

// The connection wizard's claim on running alone, held while it runs.
constexpr const char* kConnectionWizardClaim = "TelvoraAssistantDeConnexion";
// The kit wizard's program, as the kit's CD carries it.
constexpr const char* kKitWizardProgram = "kitassist.exe";
// The connection wizard's working copy of the sign-up file.
constexpr const char* kWorkingSignupFile = "modele_0.ins";

// The files the connection wizard writes in `destination`: its working sign-up file, and for
// each step file of the kit (its name "cfg*.ini", at the top of `payload`, whose entries
// `entries` lists) the new-subscription file its "Inscription" steps name ("TelvoraIsp") and the
// file its "Icone" steps write ("NomFichier"). Only names that stay inside the folder.
std::vector<std::string> FilesTheKitProgramsWrite(const std::string& destination,
                                                  const std::string& payload,
                                                  const std::vector<std::string>& entries);

// The French name of a program of the kit that is running (the connection wizard, the
// subscriber's space `espace`, the kit wizard), or empty when none is.
std::string RunningKitProgram(const std::string& espace);

}  // namespace kitextract
