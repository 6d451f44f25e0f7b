// The command-line control of the emulated handset. Exit codes: 0 done, 1 the operation failed
// (message on err), 2 the command line was not understood (message and usage on err, nothing
// changed).
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace handsetctl {

inline constexpr int exit_done = 0;
inline constexpr int exit_failed = 1;
inline constexpr int exit_usage = 2;

// arguments without the program's name. A "--device DIR" among them selects the device folder
// for the rest of the process.
int run_handsetctl(std::vector<std::string> arguments, std::ostream& out, std::ostream& err);

} // namespace handsetctl
