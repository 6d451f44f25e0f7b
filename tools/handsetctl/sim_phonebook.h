// The SIM phonebook as programs reach it, through the SIM library: whatever drives the card, its
// limits and its answers are the ones a program on the device meets.
#pragma once

#include <simmgr.h>

#include <string>
#include <vector>

namespace handsetctl {

// One entry as the library gives it, numbers with "+" in front when international.
struct SimEntry {
    std::u16string name;
    std::u16string number;
    std::u16string additional_number;
    std::u16string email;
};

class SimPhonebook {
  public:
    // Throws OperationError, saying why, when the card cannot be reached.
    SimPhonebook();
    ~SimPhonebook();
    SimPhonebook(const SimPhonebook&) = delete;
    SimPhonebook& operator=(const SimPhonebook&) = delete;

    const SIMPHONEBOOKCAPS& capabilities() const { return m_capabilities; }
    bool holds_additional_number() const;
    bool holds_email() const;

    std::vector<SimEntry> entries();
    // Into the first free slot: S_OK, SIM_E_MEMORYFULL when there is none, or the card's refusal.
    HRESULT add(const SimEntry& entry);

  private:
    HSIM m_handle{};
    SIMPHONEBOOKCAPS m_capabilities{};
};

// What a SIM library result means, for a message.
std::string describe_sim_result(HRESULT result);

} // namespace handsetctl
