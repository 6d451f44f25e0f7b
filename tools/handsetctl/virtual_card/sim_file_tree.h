// The files of the virtual card and how a SELECT finds them. A 2G SIM has MF / DF_TELECOM /
// EF_ADN and EF_ICCID. A UICC adds EF_DIR, the ADF of its USIM (no phonebook of its own) and the
// global phonebook under DF_TELECOM / DF_PHONEBOOK; its DF_TELECOM keeps the 2G EF_ADN, which
// shows the first set's records, so that a reader speaking 2G still finds the phonebook.
#pragma once

#include "phonebook_layout.h"

#include "cellcore/bytes.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace handsetctl {

enum class FileKind { master, dedicated, application, transparent, linear_fixed };

// What a file holds, for the code that reads and writes its records.
enum class FileContent { none, iccid, dir, pbr, adn, iap, anr, email };

struct SimFile {
    uint16_t id;
    FileKind kind;
    int parent; // the index of its DF; -1 for the MF
    FileContent content = FileContent::none;
    int set = 0; // which phonebook set an ADN, IAP, ANR or EMAIL file serves
    int record_length = 0;
    int record_count = 0;
    // Reading and writing need PIN1 (when enabled); otherwise reading is free.
    bool needs_pin = false;
    handset::Bytes name; // an application's identifier

    bool is_folder() const {
        return kind == FileKind::master || kind == FileKind::dedicated ||
               kind == FileKind::application;
    }
    int size() const { return record_length * std::max(record_count, 1); }
};

class SimFileTree {
  public:
    static constexpr int master = 0;
    static constexpr uint16_t master_id = 0x3F00;
    static constexpr uint16_t current_application_id = 0x7FFF;
    static const handset::Bytes usim_aid;

    explicit SimFileTree(const PhonebookLayout& layout);

    const SimFile& file(int index) const { return m_files[static_cast<size_t>(index)]; }
    // What a SELECT by file identifier finds from the current DF: the MF, the current DF, its
    // parent, the files in it and the DFs beside it.
    std::optional<int> by_id(int current_folder, uint16_t id) const;
    // A path of file identifiers from the MF, without the MF's own.
    std::optional<int> by_path(handset::ByteView path) const;
    // An application by its identifier or by a leading part of it.
    std::optional<int> by_name(handset::ByteView name) const;
    int folders_in(int folder) const;
    int files_in(int folder) const;

  private:
    int add(SimFile file);
    void add_phonebook(const PhonebookLayout& layout, int telecom);
    std::optional<int> child(int folder, uint16_t id) const;

    std::vector<SimFile> m_files;
};

} // namespace handsetctl
