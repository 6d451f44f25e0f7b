// A fault set on the device (handsetctl fault): the operations of the programs that it makes
// fail, when, and with what answer. Faults are stored in the file of the service they strike, so
// that every process using that file sees them on its next operation (see FaultTable).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace handset {

// The operations a fault can strike. Every SIM call, phonebook operations included, is a
// sim_call: a fault there makes the whole card fail.
enum class FaultPoint {
    sim_call,
    phonebook_read,
    phonebook_write,
    phonebook_delete,
    contacts_read,
    contacts_save,
    contacts_delete,
};

struct Fault {
    int64_t id = 0;
    FaultPoint point = FaultPoint::sim_call;
    // The phonebook slot it strikes; 0 for any.
    int slot = 0;
    // Above 0: it strikes only the nth matching operation, counted from when it was set.
    int64_t nth = 0;
    // With nth 0: it strikes every matching operation after the first `after`.
    int64_t after = 0;
    // The answer: an HRESULT for a SIM call, an SQLite result code for a contacts operation, so
    // that the contacts store takes it through the same path as a real storage failure.
    int64_t error = 0;
    // Matching operations counted so far, and how many of them it struck.
    int64_t counted = 0;
    int64_t fired = 0;
};

// The stored name of a point ("phonebook-write"), and back.
std::string_view fault_point_key(FaultPoint point);
std::optional<FaultPoint> fault_point_from_key(std::string_view key);
bool is_sim_point(FaultPoint point);

// The storage failures a contacts fault can answer: their names on the command line and their
// SQLite result codes.
struct StorageFaultName {
    std::string_view name;
    int code;
};
const std::vector<StorageFaultName>& storage_fault_names();

// "phonebook write #3 answers 0x88000340"; "every phonebook read of slot 7 answers ...".
std::string describe_fault(const Fault& fault);
// The debug line of a fault that struck the operation it just counted.
std::string describe_strike(const Fault& fault);

} // namespace handset
