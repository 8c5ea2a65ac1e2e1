#pragma once

#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

// The headless side of the quillory executable: `quillory NAME options...`.
// Exit codes: 0 success, 1 the work itself failed, 2 bad arguments.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// Runs the named command with the arguments after its name. An unknown name
// prints the usage and gives kExitUsage.
int RunCommand(const std::string& name, const std::vector<std::string>& arguments, std::ostream& out,
               std::ostream& err);

void PrintUsage(std::ostream& out);

// The desktop program's folder, for commands that share its files (the
// MIDI temporary files); works without a running application object.
std::filesystem::path CommandProgramFolder();
