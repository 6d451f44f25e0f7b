// The phonebook commands of the AT front (3GPP TS 27.007, §8.11 to §8.14): +CPBS, +CPBR, +CPBF
// and +CPBW on the card's SIM phonebook, the one storage ("SM") the card has. Indices are the
// card's slots. Texts travel in the character set the client chose; numbers as digits, with a "+"
// in front of an international one, which is also told by its type (145, against 129).
#pragma once

#include "at_charset.h"
#include "at_command.h"
#include "at_result.h"

#include "cellcore/card_backend.h"

namespace handsetctl {

class AtPhonebook {
  public:
    AtPhonebook(handset::CardBackend& card, const AtCharset& charset);

    AtResult storage(const AtCommand& command, const AtInfo& info);
    AtResult read(const AtCommand& command, const AtInfo& info);
    AtResult find(const AtCommand& command, const AtInfo& info);
    AtResult write(const AtCommand& command, const AtInfo& info);

  private:
    using Visit = std::function<void(DWORD slot, const handset::PhonebookEntry& entry)>;
    // The last slot that stands for the card's last, whatever its size.
    static constexpr DWORD whole_card = 0;

    AtResult read_range(DWORD first, DWORD last, const AtInfo& info);
    // Visits the stored entries of slots first to last in order, after checking that the card
    // has them, and stops at the first read the card refuses.
    AtResult each_entry(DWORD first, DWORD last, const Visit& visit);
    // The +CPBR= or +CPBW=? reply line's sizes: "(1-250),20,14", and the e-mail's size when the
    // card has the extended phonebook.
    AtResult sizes(std::string& line);
    std::string entry_line(std::string_view prefix, DWORD slot,
                           const handset::PhonebookEntry& entry) const;
    std::string quoted_text(std::u16string_view text) const;
    AtResult store(DWORD index, const std::vector<AtParameter>& parameters);
    AtResult entry_from(const std::vector<AtParameter>& parameters, handset::PhonebookEntry& entry,
                        bool& extended) const;
    AtResult text_from(const AtParameter& parameter, std::u16string& text) const;
    // Why the card refused an entry, in the finer codes that the card's one refusal stands for.
    AtResult refusal(const handset::PhonebookEntry& entry);

    handset::CardBackend& m_card;
    const AtCharset& m_charset;
};

} // namespace handsetctl
