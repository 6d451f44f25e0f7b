#include "cellcore/card_file.h"

#include "base/device_folder.h"
#include "base/fault_table.h"
#include "base/sqlite_error.h"
#include "base/sqlite_transaction.h"
#include "cellcore/adn_record.h"
#include "cellcore/entry_codec.h"
#include "cellcore/hex_text.h"

#include <simmgr.h>

#include <algorithm>
#include <cctype>

namespace handset {

namespace {

// Marks the file as a card, so that another database put in its place reads as damaged.
constexpr int64_t application_id = 0x53494D43; // "SIMC"
constexpr int64_t schema_version = 1;
// Enough history for a notification thread that fell a few seconds behind.
constexpr int64_t kept_changes = 1024;

constexpr const char* schema = R"sql(
CREATE TABLE IF NOT EXISTS profile (
    id INTEGER PRIMARY KEY CHECK (id = 1),
    slots INTEGER NOT NULL,
    name_bytes INTEGER NOT NULL,
    number_digits INTEGER NOT NULL,
    additional_number_digits INTEGER NOT NULL,
    email_bytes INTEGER NOT NULL,
    additional_number_count INTEGER NOT NULL,
    email_count INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS state (
    id INTEGER PRIMARY KEY CHECK (id = 1),
    present INTEGER NOT NULL,
    invalid INTEGER NOT NULL,
    lock INTEGER NOT NULL,
    fixed_dialling INTEGER NOT NULL,
    phonebook_ready INTEGER NOT NULL,
    radio_on INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS adn (
    slot INTEGER PRIMARY KEY,
    record BLOB NOT NULL,
    additional_number BLOB,
    email BLOB);
CREATE TABLE IF NOT EXISTS changes (
    sequence INTEGER PRIMARY KEY AUTOINCREMENT,
    code INTEGER NOT NULL,
    slot INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS calls (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    time INTEGER NOT NULL,
    number TEXT NOT NULL,
    name TEXT NOT NULL);
)sql";

// Rows keyed outside the card's slots are left by a damaged or hand-edited file. No SIM call can
// reach them, so they count as no slot's entry; they are reported, and kept until the card is
// cleared, imported or created again.
constexpr const char* in_slots = "slot BETWEEN 1 AND (SELECT slots FROM profile)";

std::optional<Bytes> optional_blob(const SqliteStatement& row, int column) {
    if (row.is_null(column)) {
        return std::nullopt;
    }
    return row.blob(column);
}

void bind_optional(SqliteStatement& statement, int parameter, const std::optional<Bytes>& blob) {
    if (blob) {
        statement.bind(parameter, ByteView(*blob));
    } else {
        statement.bind_null(parameter);
    }
}

std::string slot_text(long long slot) {
    return "slot " + std::to_string(slot);
}

void check_profile(const CardProfile& profile) {
    const std::string problem = profile.problem();
    if (!problem.empty()) {
        throw CardError(CardFault::bad_profile, problem);
    }
}

std::string_view trimmed(std::string_view line) {
    while (!line.empty() && std::isspace(static_cast<unsigned char>(line.front()))) {
        line.remove_prefix(1);
    }
    while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back()))) {
        line.remove_suffix(1);
    }
    return line;
}

// The records of an import, each with the slot it goes to, re-encoded for this card.
std::vector<std::pair<int, Bytes>> parse_import(const std::vector<std::string>& lines,
                                                const CardProfile& profile) {
    std::vector<std::pair<int, Bytes>> records;
    int slot = 0;
    for (size_t number = 1; number <= lines.size(); ++number) {
        const std::string_view line = trimmed(lines[number - 1]);
        if (line.empty() || line.front() == '#') {
            continue;
        }
        const std::string where = "line " + std::to_string(number) + ": ";
        if (++slot > profile.slots) {
            throw CardError(CardFault::bad_import, where + "more records than the card's " +
                                                       std::to_string(profile.slots) + " slots");
        }
        std::optional<Bytes> bytes = from_hex(line);
        std::optional<AdnRecord> record = bytes ? decode_adn(*bytes) : std::nullopt;
        if (!record) {
            throw CardError(CardFault::bad_import, where + "not an EF_ADN record in hex");
        }
        if (record->empty()) {
            continue;
        }
        try {
            records.emplace_back(
                slot, encode_entry({record->name, record->number, {}, {}}, profile).record);
        } catch (const CardError& refusal) {
            throw CardError(CardFault::bad_import, where + refusal.what());
        }
    }
    // An empty or unrelated file would otherwise clear the card while looking like a success.
    if (slot == 0) {
        throw CardError(CardFault::bad_import, "there is no EF_ADN record to import");
    }
    return records;
}

// What a failed SQLite call means for the card in file.
CardError card_failure(const std::filesystem::path& file, const SqliteError& error) {
    switch (error.failure()) {
    case StorageFailure::busy:
        return CardError(CardFault::busy, file.string() + " is busy: " + error.what());
    case StorageFailure::cannot_open:
        return CardError(CardFault::missing, "there is no card file " + file.string());
    case StorageFailure::read_only:
        return CardError(CardFault::read_only,
                         "the device is read-only: " + file.string() + " cannot be changed");
    case StorageFailure::foreign:
        return CardError(CardFault::damaged,
                         file.string() + " is not a card file: " + error.what());
    case StorageFailure::full:
    case StorageFailure::no_memory:
    case StorageFailure::damaged:
    case StorageFailure::other:
        break;
    }
    return CardError(CardFault::damaged, file.string() + " is damaged: " + error.what());
}

} // namespace

void check_slot(long long slot, int slots) {
    if (slot < 1 || slot > slots) {
        throw CardError(CardFault::bad_slot, "no " + slot_text(slot) + " on a card of " +
                                                 std::to_string(slots) + " slots");
    }
}

std::string CardProfile::problem() const {
    if (slots < 1 || slots > max_slots) {
        return "the number of slots must be 1 to " + std::to_string(max_slots);
    }
    if (name_bytes < 0 || name_bytes > max_name_bytes) {
        return "the name length must be 0 to " + std::to_string(max_name_bytes) + " bytes";
    }
    if (number_digits < 1 || number_digits > static_cast<int>(DiallingNumber::max_digits)) {
        return "the number length must be 1 to " + std::to_string(DiallingNumber::max_digits) +
               " digits";
    }
    if (extended.additional_number_digits < 0 ||
        extended.additional_number_digits > static_cast<int>(DiallingNumber::max_digits)) {
        return "the additional number length must be 0 to " +
               std::to_string(DiallingNumber::max_digits) + " digits";
    }
    if (extended.email_bytes < 0 || extended.email_bytes > max_email_bytes) {
        return "the e-mail length must be 0 to " + std::to_string(max_email_bytes) + " bytes";
    }
    if (extended.additional_number_count < 0 || extended.additional_number_count > max_count ||
        extended.email_count < 0 || extended.email_count > max_count) {
        return "an entry holds 0 or 1 additional numbers and e-mail addresses";
    }
    return {};
}

namespace {

// Clears the way for a new card where the file was damaged. A folder in the card's place may hold
// someone's files, so it is renamed rather than removed.
void set_aside(const std::filesystem::path& file) {
    std::error_code error;
    if (std::filesystem::is_directory(file, error)) {
        const std::filesystem::path aside = file.string() + ".folder";
        std::filesystem::rename(file, aside, error);
        if (error) {
            throw CardError(CardFault::damaged, file.string() +
                                                    " is a folder that cannot be moved to " +
                                                    aside.string() + ": " + error.message());
        }
        return;
    }
    for (const char* suffix : {"", "-wal", "-shm"}) {
        std::filesystem::remove(file.string() + suffix, error);
    }
}

} // namespace

std::filesystem::path CardFile::default_path() {
    return device_folder() / "sim.db";
}

CardFile::CardFile(std::filesystem::path file, SqliteDatabase database)
    : m_file(std::move(file)), m_database(std::move(database)) {}

template <typename Action>
auto CardFile::guarded(Action action) {
    try {
        return action();
    } catch (const SqliteError& error) {
        throw card_failure(m_file, error);
    }
}

SqliteDatabase CardFile::connect(const std::filesystem::path& file, SqliteDatabase::Mode mode) {
    std::error_code error;
    if (std::filesystem::is_directory(file, error)) {
        throw CardError(CardFault::damaged, file.string() + " is a folder, not a card file");
    }
    try {
        return SqliteDatabase(file, mode, application_id);
    } catch (const SqliteError& error) {
        throw card_failure(file, error);
    }
}

CardFile CardFile::open(const std::filesystem::path& file) {
    CardFile card(file, connect(file, SqliteDatabase::Mode::existing));
    card.guarded([&] { card.check_schema(); });
    return card;
}

CardFile CardFile::open_for_reading(const std::filesystem::path& file) {
    CardFile card(file, connect(file, SqliteDatabase::Mode::read_only));
    card.guarded([&] { card.check_schema(); });
    return card;
}

CardFile CardFile::create(const std::filesystem::path& file, const CardProfile& profile) {
    check_profile(profile);
    auto make = [&] {
        CardFile card(file, connect(file, SqliteDatabase::Mode::create));
        card.guarded([&] {
            SqliteTransaction transaction(card.m_database);
            const int64_t identity = card.m_database.pragma("application_id");
            if (identity != 0 && identity != application_id) {
                throw CardError(CardFault::damaged, file.string() + " is another database");
            }
            card.m_database.execute(schema);
            card.m_database.mark(application_id, schema_version);
            card.clear_records();
            card.m_database.execute("DELETE FROM calls");
            card.write_profile(profile);
            card.write_state(CardState{});
            transaction.commit();
        });
        return card;
    };
    try {
        return make();
    } catch (const CardError& error) {
        if (error.fault() != CardFault::damaged) {
            throw;
        }
    }
    set_aside(file);
    return make();
}

void CardFile::check_schema() {
    const int64_t version = m_database.pragma("user_version");
    if (m_database.pragma("application_id") == application_id && version > schema_version) {
        throw CardError(CardFault::damaged,
                        m_file.string() + " is a card file of a newer version (" +
                            std::to_string(version) + ") than this handset reads (" +
                            std::to_string(schema_version) + ")");
    }
    if (!m_database.marked_as(application_id, schema_version)) {
        throw CardError(CardFault::damaged, m_file.string() + " is not a card file");
    }
    read_snapshot();
}

std::pair<CardProfile, CardState> CardFile::read_snapshot() {
    static const std::string query =
        std::string("SELECT slots, name_bytes, number_digits, additional_number_digits, "
                    "email_bytes, additional_number_count, email_count, present, invalid, lock, "
                    "fixed_dialling, phonebook_ready, radio_on, (") +
        FaultTable::presence_sql() + ") FROM profile, state";
    SqliteStatement row = m_database.prepare(query);
    if (!row.step()) {
        throw CardError(CardFault::damaged, m_file.string() + " has no profile or state");
    }
    auto number = [&](int column) { return static_cast<int>(row.integer(column)); };
    CardProfile profile;
    profile.slots = number(0);
    profile.name_bytes = number(1);
    profile.number_digits = number(2);
    profile.extended = {number(3), number(4), number(5), number(6)};
    CardState state;
    state.present = number(7) != 0;
    state.invalid = number(8) != 0;
    switch (number(9)) {
    case 1:
        state.lock = PinLock::pin;
        break;
    case 2:
        state.lock = PinLock::puk;
        break;
    default:
        state.lock = PinLock::none;
        break;
    }
    state.fixed_dialling = number(10) != 0;
    state.phonebook_ready = number(11) != 0;
    state.radio_on = number(12) != 0;
    m_faults_present = number(13) != 0;
    if (!profile.problem().empty()) {
        throw CardError(CardFault::damaged,
                        m_file.string() + " has an unusable profile: " + profile.problem());
    }
    return {profile, state};
}

void CardFile::write_profile(const CardProfile& profile) {
    m_database.prepare("INSERT OR REPLACE INTO profile VALUES (1, ?, ?, ?, ?, ?, ?, ?)")
        .bind(1, profile.slots)
        .bind(2, profile.name_bytes)
        .bind(3, profile.number_digits)
        .bind(4, profile.extended.additional_number_digits)
        .bind(5, profile.extended.email_bytes)
        .bind(6, profile.extended.additional_number_count)
        .bind(7, profile.extended.email_count)
        .run();
}

void CardFile::write_state(const CardState& state) {
    auto lock_value = [](PinLock lock) {
        switch (lock) {
        case PinLock::none:
            return 0;
        case PinLock::pin:
            return 1;
        case PinLock::puk:
            return 2;
        }
        return 0;
    };
    m_database.prepare("INSERT OR REPLACE INTO state VALUES (1, ?, ?, ?, ?, ?, ?)")
        .bind(1, state.present)
        .bind(2, state.invalid)
        .bind(3, lock_value(state.lock))
        .bind(4, state.fixed_dialling)
        .bind(5, state.phonebook_ready)
        .bind(6, state.radio_on)
        .run();
}

void CardFile::log_change(uint32_t code, int slot) {
    m_database.prepare("INSERT INTO changes (code, slot) VALUES (?, ?)")
        .bind(1, code)
        .bind(2, slot)
        .run();
    m_database.prepare("DELETE FROM changes WHERE sequence <= last_insert_rowid() - ?")
        .bind(1, kept_changes)
        .run();
}

std::vector<int> CardFile::occupied_slots() {
    std::vector<int> slots;
    SqliteStatement rows = m_database.prepare("SELECT slot FROM adn ORDER BY slot");
    while (rows.step()) {
        slots.push_back(static_cast<int>(rows.integer(0)));
    }
    return slots;
}

void CardFile::clear_records() {
    for (int slot : occupied_slots()) {
        log_change(SIM_NOTIFY_PBE_DELETED, slot);
    }
    m_database.execute("DELETE FROM adn");
}

void CardFile::put_record(int slot, const Bytes& record,
                          const std::optional<Bytes>& additional_number,
                          const std::optional<Bytes>& email) {
    SqliteStatement statement = m_database.prepare(
        "INSERT OR REPLACE INTO adn (slot, record, additional_number, email) VALUES (?, ?, ?, ?)");
    statement.bind(1, slot).bind(2, ByteView(record));
    bind_optional(statement, 3, additional_number);
    bind_optional(statement, 4, email);
    statement.run();
}

int CardFile::first_free_slot(int slots) {
    int expected = 1;
    SqliteStatement rows = m_database.prepare(std::string("SELECT slot FROM adn WHERE ") +
                                              in_slots + " ORDER BY slot");
    while (rows.step() && rows.integer(0) == expected) {
        ++expected;
    }
    if (expected > slots) {
        throw CardError(CardFault::card_full,
                        "all " + std::to_string(slots) + " slots of the card are taken");
    }
    return expected;
}

PhonebookEntry CardFile::decode_row(int slot, const Bytes& record,
                                    const std::optional<Bytes>& additional_number,
                                    const std::optional<Bytes>& email) {
    std::optional<PhonebookEntry> entry = decode_entry({record, additional_number, email});
    if (!entry) {
        throw CardError(CardFault::damaged,
                        m_file.string() + " holds a damaged record in " + slot_text(slot));
    }
    return std::move(*entry);
}

CardProfile CardFile::profile() {
    return snapshot().first;
}

CardState CardFile::state() {
    return snapshot().second;
}

std::pair<CardProfile, CardState> CardFile::snapshot() {
    return guarded([&] { return read_snapshot(); });
}

void CardFile::set_profile(const CardProfile& profile) {
    check_profile(profile);
    guarded([&] {
        SqliteTransaction transaction(m_database);
        std::vector<StoredEntry> stored = entries();
        for (const StoredEntry& item : stored) {
            if (item.slot > profile.slots) {
                throw CardError(CardFault::bad_profile,
                                slot_text(item.slot) + " is in use beyond the new total");
            }
            try {
                EncodedEntry encoded = encode_entry(item.entry, profile);
                put_record(item.slot, encoded.record, encoded.additional_number, encoded.email);
            } catch (const CardError& refusal) {
                throw CardError(CardFault::bad_profile,
                                slot_text(item.slot) + " would not fit: " + refusal.what());
            }
        }
        write_profile(profile);
        transaction.commit();
    });
}

void CardFile::update_state(const std::function<void(CardState&)>& change) {
    guarded([&] {
        SqliteTransaction transaction(m_database);
        const CardState before = read_snapshot().second;
        CardState after = before;
        change(after);
        write_state(after);
        if (before.radio_on && !after.radio_on) {
            log_change(SIM_NOTIFY_RADIOOFF, 0);
        }
        transaction.commit();
    });
}

std::vector<StoredEntry> CardFile::entries() {
    return guarded([&] {
        std::vector<StoredEntry> stored;
        SqliteStatement rows =
            m_database.prepare(std::string("SELECT slot, record, additional_number, email FROM "
                                           "adn WHERE ") +
                               in_slots + " ORDER BY slot");
        while (rows.step()) {
            const int slot = static_cast<int>(rows.integer(0));
            stored.push_back({slot, decode_row(slot, rows.blob(1), optional_blob(rows, 2),
                                               optional_blob(rows, 3))});
        }
        return stored;
    });
}

std::optional<PhonebookEntry> CardFile::entry(int slot) {
    return guarded([&]() -> std::optional<PhonebookEntry> {
        SqliteStatement row =
            m_database.prepare("SELECT record, additional_number, email FROM adn WHERE slot = ?");
        row.bind(1, slot);
        if (!row.step()) {
            return std::nullopt;
        }
        return decode_row(slot, row.blob(0), optional_blob(row, 1), optional_blob(row, 2));
    });
}

int CardFile::used_slots() {
    return guarded([&] {
        SqliteStatement row =
            m_database.prepare(std::string("SELECT count(*) FROM adn WHERE ") + in_slots);
        row.step();
        return static_cast<int>(row.integer(0));
    });
}

std::vector<int> CardFile::stray_slots() {
    return guarded([&] {
        std::vector<int> slots;
        SqliteStatement rows = m_database.prepare(std::string("SELECT slot FROM adn WHERE NOT ") +
                                                  in_slots + " ORDER BY slot");
        while (rows.step()) {
            slots.push_back(static_cast<int>(rows.integer(0)));
        }
        return slots;
    });
}

int CardFile::store(int slot, const PhonebookEntry& entry, EntryFields fields) {
    return guarded([&] {
        SqliteTransaction transaction(m_database);
        const CardProfile profile = read_snapshot().first;
        if (slot != 0) {
            check_slot(slot, profile.slots);
        }
        EncodedEntry encoded = encode_entry(entry, profile);
        const int target = slot != 0 ? slot : first_free_slot(profile.slots);
        if (fields == EntryFields::name_and_number) {
            SqliteStatement kept =
                m_database.prepare("SELECT additional_number, email FROM adn WHERE slot = ?");
            kept.bind(1, target);
            if (kept.step()) {
                encoded.additional_number = optional_blob(kept, 0);
                encoded.email = optional_blob(kept, 1);
            }
        }
        put_record(target, encoded.record, encoded.additional_number, encoded.email);
        log_change(SIM_NOTIFY_PBE_STORED, target);
        transaction.commit();
        return target;
    });
}

bool CardFile::erase(int slot) {
    return guarded([&] {
        SqliteTransaction transaction(m_database);
        check_slot(slot, read_snapshot().first.slots);
        SqliteStatement statement = m_database.prepare("DELETE FROM adn WHERE slot = ?");
        statement.bind(1, slot).run();
        if (m_database.changed_rows() == 0) {
            return false;
        }
        log_change(SIM_NOTIFY_PBE_DELETED, slot);
        transaction.commit();
        return true;
    });
}

void CardFile::clear() {
    guarded([&] {
        SqliteTransaction transaction(m_database);
        clear_records();
        transaction.commit();
    });
}

void CardFile::check_record(const EncodedEntry& encoded, const CardProfile& profile) {
    auto refuse = [](const std::string& why) { throw CardError(CardFault::bad_record, why); };
    if (encoded.record.size() != static_cast<size_t>(profile.name_bytes) + adn_trailer_size) {
        refuse("an EF_ADN record of this card has " +
               std::to_string(profile.name_bytes + adn_trailer_size) + " bytes, not " +
               std::to_string(encoded.record.size()));
    }
    if (encoded.additional_number &&
        encoded.additional_number->size() != DiallingNumber::block_size) {
        refuse("an additional number's block has " + std::to_string(DiallingNumber::block_size) +
               " bytes");
    }
    if (encoded.email &&
        encoded.email->size() != static_cast<size_t>(profile.extended.email_bytes)) {
        refuse("this card's e-mail field has " + std::to_string(profile.extended.email_bytes) +
               " bytes");
    }
    std::optional<PhonebookEntry> entry = decode_entry(encoded);
    if (!entry) {
        refuse("the bytes do not form a phonebook entry");
    }
    encode_entry(*entry, profile);
}

std::optional<EncodedEntry> CardFile::stored_record(int slot) {
    return guarded([&]() -> std::optional<EncodedEntry> {
        SqliteStatement row =
            m_database.prepare("SELECT record, additional_number, email FROM adn WHERE slot = ?");
        row.bind(1, slot);
        if (!row.step()) {
            return std::nullopt;
        }
        return EncodedEntry{row.blob(0), optional_blob(row, 1), optional_blob(row, 2)};
    });
}

std::map<int, EncodedEntry> CardFile::stored_records() {
    return guarded([&] {
        std::map<int, EncodedEntry> stored;
        SqliteStatement rows = m_database.prepare(
            std::string("SELECT slot, record, additional_number, email FROM adn WHERE ") +
            in_slots);
        while (rows.step()) {
            stored[static_cast<int>(rows.integer(0))] =
                EncodedEntry{rows.blob(1), optional_blob(rows, 2), optional_blob(rows, 3)};
        }
        return stored;
    });
}

void CardFile::store_record(int slot, const EncodedEntry& encoded) {
    guarded([&] {
        SqliteTransaction transaction(m_database);
        const CardProfile profile = read_snapshot().first;
        check_slot(slot, profile.slots);
        check_record(encoded, profile);
        put_record(slot, encoded.record, encoded.additional_number, encoded.email);
        log_change(SIM_NOTIFY_PBE_STORED, slot);
        transaction.commit();
    });
}

std::vector<std::string> CardFile::export_adn() {
    return guarded([&] {
        const CardProfile profile = read_snapshot().first;
        const std::string empty(2 * (profile.name_bytes + adn_trailer_size), 'F');
        std::vector<std::string> lines(static_cast<size_t>(profile.slots), empty);
        SqliteStatement rows = m_database.prepare("SELECT slot, record FROM adn ORDER BY slot");
        while (rows.step()) {
            const int64_t slot = rows.integer(0);
            if (slot >= 1 && slot <= profile.slots) {
                lines[static_cast<size_t>(slot - 1)] = to_hex(rows.blob(1));
            }
        }
        return lines;
    });
}

void CardFile::import_adn(const std::vector<std::string>& lines) {
    guarded([&] {
        SqliteTransaction transaction(m_database);
        const std::vector<std::pair<int, Bytes>> records =
            parse_import(lines, read_snapshot().first);
        std::vector<int> emptied = occupied_slots();
        m_database.execute("DELETE FROM adn");
        for (const auto& [slot, record] : records) {
            put_record(slot, record, std::nullopt, std::nullopt);
            log_change(SIM_NOTIFY_PBE_STORED, slot);
            emptied.erase(std::remove(emptied.begin(), emptied.end(), slot), emptied.end());
        }
        for (int slot : emptied) {
            log_change(SIM_NOTIFY_PBE_DELETED, slot);
        }
        transaction.commit();
    });
}

void CardFile::append_call(const CallRecord& call) {
    guarded([&] {
        m_database.prepare("INSERT INTO calls (time, number, name) VALUES (?, ?, ?)")
            .bind(1, call.time)
            .bind(2, std::u16string_view(call.number))
            .bind(3, std::u16string_view(call.name))
            .run();
    });
}

std::vector<CallRecord> CardFile::calls() {
    return guarded([&] {
        std::vector<CallRecord> calls;
        SqliteStatement rows =
            m_database.prepare("SELECT time, number, name FROM calls ORDER BY id");
        while (rows.step()) {
            calls.push_back({rows.integer(0), rows.text16(1), rows.text16(2)});
        }
        return calls;
    });
}

int64_t CardFile::latest_change() {
    return guarded([&] {
        SqliteStatement row = m_database.prepare("SELECT coalesce(max(sequence), 0) FROM changes");
        row.step();
        return row.integer(0);
    });
}

std::vector<CardChange> CardFile::changes_since(int64_t sequence) {
    return guarded([&] {
        std::vector<CardChange> changes;
        SqliteStatement rows = m_database.prepare(
            "SELECT sequence, code, slot FROM changes WHERE sequence > ? ORDER BY sequence");
        rows.bind(1, sequence);
        while (rows.step()) {
            changes.push_back({rows.integer(0), static_cast<uint32_t>(rows.integer(1)),
                               static_cast<int>(rows.integer(2))});
        }
        return changes;
    });
}

int64_t CardFile::data_version() {
    return guarded([&] { return m_database.data_version(); });
}

void CardFile::add_fault(Fault& fault) {
    guarded([&] {
        if (fault.slot != 0) {
            check_slot(fault.slot, read_snapshot().first.slots);
        }
        FaultTable(m_database).add(fault);
    });
}

std::vector<Fault> CardFile::faults() {
    return guarded([&] { return FaultTable(m_database).list(); });
}

int64_t CardFile::clear_faults() {
    return guarded([&] { return FaultTable(m_database).clear(); });
}

std::optional<Fault> CardFile::count_fault(FaultPoint point, int slot) {
    if (!m_faults_present) {
        return std::nullopt;
    }
    return guarded([&] { return FaultTable(m_database).count(point, slot); });
}

} // namespace handset
