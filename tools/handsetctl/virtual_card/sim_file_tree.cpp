#include "sim_file_tree.h"

#include <algorithm>

namespace handsetctl {

namespace {

constexpr uint16_t telecom_id = 0x7F10;
constexpr uint16_t phonebook_id = 0x5F3A;
constexpr uint16_t adn_2g_id = 0x6F3A;
constexpr uint16_t pbr_id = 0x4F30;
constexpr uint16_t dir_id = 0x2F00;
constexpr uint16_t iccid_id = 0x2FE2;
constexpr int iccid_size = 10;
constexpr int dir_record_length = 32;
// Long enough to tell an application from another; shorter is a guess.
constexpr size_t shortest_partial_name = 5;

SimFile folder(uint16_t id, FileKind kind, int parent) {
    return SimFile{id, kind, parent, FileContent::none, 0, 0, 0, false, {}};
}

// A file anyone may read and no one may write.
SimFile public_file(uint16_t id, FileKind kind, FileContent content, int length, int count) {
    return SimFile{id, kind, SimFileTree::master, content, 0, length, count, false, {}};
}

SimFile records(uint16_t id, int parent, FileContent content, int set, int length, int count) {
    return SimFile{id, FileKind::linear_fixed, parent, content, set, length, count, true, {}};
}

} // namespace

const handset::Bytes SimFileTree::usim_aid = {0xA0, 0x00, 0x00, 0x00, 0x87, 0x10, 0x02, 0xFF,
                                              0xFF, 0xFF, 0xFF, 0x89, 0x06, 0x01, 0x00, 0x00};

SimFileTree::SimFileTree(const PhonebookLayout& layout) {
    add(folder(master_id, FileKind::master, -1));
    add(public_file(iccid_id, FileKind::transparent, FileContent::iccid, iccid_size, 0));
    const int telecom = add(folder(telecom_id, FileKind::dedicated, master));
    add(records(adn_2g_id, telecom, FileContent::adn, 0, layout.adn_record_length(),
                layout.records(0)));
    if (!layout.extended()) {
        return;
    }
    add(public_file(dir_id, FileKind::linear_fixed, FileContent::dir, dir_record_length, 1));
    SimFile application = folder(current_application_id, FileKind::application, master);
    application.name = usim_aid;
    add(application);
    add_phonebook(layout, telecom);
}

void SimFileTree::add_phonebook(const PhonebookLayout& layout, int telecom) {
    const int phonebook = add(folder(phonebook_id, FileKind::dedicated, telecom));
    add(records(pbr_id, phonebook, FileContent::pbr, 0, layout.pbr_record_length(), layout.sets()));
    for (int set = 0; set < layout.sets(); ++set) {
        const int count = layout.records(set);
        const auto offset = static_cast<uint16_t>(set);
        add(records(PhonebookLayout::first_adn + offset, phonebook, FileContent::adn, set,
                    layout.adn_record_length(), count));
        if (layout.has_email()) {
            add(records(PhonebookLayout::first_iap + offset, phonebook, FileContent::iap, set,
                        PhonebookLayout::iap_record_length, count));
            add(records(PhonebookLayout::first_email + offset, phonebook, FileContent::email, set,
                        layout.email_record_length(), count));
        }
        if (layout.has_anr()) {
            add(records(PhonebookLayout::first_anr + offset, phonebook, FileContent::anr, set,
                        PhonebookLayout::anr_record_length, count));
        }
    }
}

int SimFileTree::add(SimFile file) {
    m_files.push_back(std::move(file));
    return static_cast<int>(m_files.size()) - 1;
}

std::optional<int> SimFileTree::child(int folder, uint16_t id) const {
    for (size_t index = 0; index < m_files.size(); ++index) {
        if (m_files[index].parent == folder && m_files[index].id == id) {
            return static_cast<int>(index);
        }
    }
    return std::nullopt;
}

std::optional<int> SimFileTree::by_id(int current_folder, uint16_t id) const {
    if (id == master_id) {
        return master;
    }
    if (id == current_application_id) {
        return child(master, id);
    }
    const SimFile& current = file(current_folder);
    if (id == current.id) {
        return current_folder;
    }
    if (std::optional<int> found = child(current_folder, id)) {
        return found;
    }
    if (current.parent < 0) {
        return std::nullopt;
    }
    if (id == file(current.parent).id) {
        return current.parent;
    }
    std::optional<int> sibling = child(current.parent, id);
    if (sibling && file(*sibling).is_folder()) {
        return sibling;
    }
    return std::nullopt;
}

std::optional<int> SimFileTree::by_path(handset::ByteView path) const {
    if (path.empty() || path.size() % 2 != 0) {
        return std::nullopt;
    }
    std::optional<int> found = master;
    for (size_t at = 0; at < path.size() && found; at += 2) {
        if (!file(*found).is_folder()) {
            return std::nullopt;
        }
        found = child(*found, static_cast<uint16_t>(path[at] << 8 | path[at + 1]));
    }
    return found;
}

std::optional<int> SimFileTree::by_name(handset::ByteView name) const {
    if (name.size() < shortest_partial_name) {
        return std::nullopt;
    }
    for (size_t index = 0; index < m_files.size(); ++index) {
        const handset::Bytes& candidate = m_files[index].name;
        if (!candidate.empty() && handset::ByteView(candidate).starts_with(name)) {
            return static_cast<int>(index);
        }
    }
    return std::nullopt;
}

int SimFileTree::folders_in(int folder) const {
    return static_cast<int>(std::count_if(m_files.begin(), m_files.end(), [&](const SimFile& f) {
        return f.parent == folder && f.is_folder();
    }));
}

int SimFileTree::files_in(int folder) const {
    return static_cast<int>(std::count_if(m_files.begin(), m_files.end(), [&](const SimFile& f) {
        return f.parent == folder && !f.is_folder();
    }));
}

} // namespace handsetctl
