// The command line a program is started with, on both back ends.
#pragma once

#include <string>
#include <vector>

namespace plat {

// One argument written so that the C runtime of the started program splits it back whole:
// an argument holding a blank or a tab, or an empty one, is put between double quotes; an
// embedded double quote becomes \"; backslashes are doubled where they come before a double
// quote (one of the argument's, or the closing one), and left alone everywhere else.
std::string QuoteArgument(const std::string& argument);

// The arguments quoted one by one and joined with single blanks: what the started program's
// C runtime turns into exactly these argc/argv again.
std::string BuildCommandLine(const std::vector<std::string>& argv);

}  // namespace plat
