// Reading a PIN from the user: on a terminal, after a prompt and without echo; otherwise one
// line of standard input, so that a script can pipe it in. A PIN is never an argument of the
// command line, where other users and the shell's history would see it.
#pragma once

#include <istream>
#include <ostream>
#include <string>

namespace handsetctl {

// The line without its line end; OperationError when the input ends before one.
std::string read_pin(std::istream& in, int descriptor, std::ostream& prompt);

} // namespace handsetctl
