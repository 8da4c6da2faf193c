// The option list of kitsetup --help (and /?), with the series and models
// this kit folder offers on this machine, as the series page lists them.
// This file is OS-independent.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "setup/app/kitsetup_app.h"

namespace kit::setup::quiet {

// Runs the wizard up to its series page (without windows, nothing
// changed) and reads the models it lists, per series; empty when the
// wizard refused to start, with that refusal in *refusal.
std::vector<std::vector<std::string>> ListModels(CKitsetupApp::Options options, std::string* refusal);

// `program` is how the command is named in the usage lines.
void PrintQuietHelp(std::ostream& out, const std::string& program,
                    const std::vector<std::vector<std::string>>& models, const std::string& refusal);

}  // namespace kit::setup::quiet
