#include "resources/dialog_template.h"
#include "resources/menu_template.h"
#include "resources/res_file.h"
#include "resources/string_table.h"
#include "telvane_ids.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr WORD kMenuType = 4;
constexpr WORD kDialogType = 5;
constexpr WORD kStringType = 6;

// What a person reads in a language file, and the ids the programs find it by.
struct LanguageFile {
    std::set<WORD> languages;
    std::map<UINT, std::u16string> strings;
    // Each menu's items in order, popups' items after their popup, as id (0 for a popup or a
    // separator) and text.
    std::map<WORD, std::vector<std::pair<UINT, std::u16string>>> menus;
    // Each dialog's caption and then its controls in order, as id, class and text.
    std::map<WORD, std::u16string> captions;
    std::map<WORD, std::vector<std::tuple<DWORD, handset::ResourceName, std::u16string>>> dialogs;
};

std::u16string TextOf(const handset::ResourceName& name) {
    return name.is_text() ? name.text : std::u16string();
}

void AddMenuItems(const std::vector<handset::MenuItem>& items,
                  std::vector<std::pair<UINT, std::u16string>>& out) {
    for (const handset::MenuItem& item : items) {
        out.emplace_back(item.id, item.text);
        AddMenuItems(item.items, out);
    }
}

void AddStrings(WORD block, std::span<const BYTE> data, LanguageFile& file) {
    for (UINT slot = 0; slot < handset::kStringsPerBlock; ++slot) {
        const UINT id = (block - 1u) * handset::kStringsPerBlock + slot;
        const std::optional<std::span<const BYTE>> text = handset::string_in_block(data, id);
        ASSERT_TRUE(text);
        if (!text->empty()) {
            file.strings[id] =
                std::u16string(reinterpret_cast<const char16_t*>(text->data()), text->size() / 2);
        }
    }
}

void AddDialog(WORD name, std::span<const BYTE> data, LanguageFile& file) {
    const std::optional<handset::DialogTemplate> dialog = handset::parse_dialog_template(data);
    ASSERT_TRUE(dialog);
    file.captions[name] = dialog->title;
    for (const handset::DialogItem& item : dialog->items) {
        file.dialogs[name].emplace_back(item.id, item.window_class, TextOf(item.text));
    }
}

LanguageFile Read(const char* path) {
    std::ifstream stream(path, std::ios::binary);
    const std::vector<BYTE> image{std::istreambuf_iterator<char>(stream), {}};
    const std::optional<std::vector<handset::ResEntry>> entries =
        handset::parse_res_file(image, path);
    LanguageFile file;
    EXPECT_TRUE(entries) << path;
    for (const handset::ResEntry& entry : entries.value_or(std::vector<handset::ResEntry>{})) {
        if (!entry.type.is_ordinal() || !entry.name.is_ordinal()) {
            continue;
        }
        file.languages.insert(entry.language);
        if (entry.type.ordinal == kStringType) {
            AddStrings(entry.name.ordinal, entry.data, file);
        } else if (entry.type.ordinal == kMenuType) {
            const std::optional<handset::MenuTemplate> menu =
                handset::parse_menu_template(entry.data);
            EXPECT_TRUE(menu);
            AddMenuItems(menu ? menu->items : std::vector<handset::MenuItem>{},
                         file.menus[entry.name.ordinal]);
        } else if (entry.type.ordinal == kDialogType) {
            AddDialog(entry.name.ordinal, entry.data, file);
        }
    }
    return file;
}

template <typename Map>
std::set<typename Map::key_type> KeysOf(const Map& map) {
    std::set<typename Map::key_type> keys;
    for (const auto& [key, value] : map) {
        keys.insert(key);
    }
    return keys;
}

// Texts that German writes as English does: names, codes and words German has taken over.
const std::set<std::u16string> kSameInGerman = {
    u"",     u" ",     u"Telvane", u"TELVANE", u"QUORREL", u"Contacts", u"OK",
    u"Name", u"Name:", u"Version", u"[M]",     u"m",       u"1.0.0.0",  u"Nemora Mobile Software",
};

struct LanguagePair {
    const char* name;
    const char* english;
    const char* other;
    WORD language;
};

void PrintTo(const LanguagePair& pair, std::ostream* out) {
    *out << pair.name;
}

class LanguageFiles : public ::testing::TestWithParam<LanguagePair> {
  protected:
    LanguageFile m_english = Read(GetParam().english);
    LanguageFile m_other = Read(GetParam().other);

    void ExpectTranslated(const std::u16string& english, const std::u16string& other,
                          const std::string& where) {
        if (!kSameInGerman.contains(english)) {
            EXPECT_NE(other, english) << where << " is left in English";
        }
    }
};

} // namespace

TEST_P(LanguageFiles, AreMarkedWithTheirLanguage) {
    EXPECT_EQ(m_other.languages, std::set<WORD>{GetParam().language});
}

TEST_P(LanguageFiles, HaveEveryStringOfTheEnglishFile) {
    EXPECT_EQ(KeysOf(m_other.strings), KeysOf(m_english.strings));
}

TEST_P(LanguageFiles, HaveEveryMenuWithTheSameCommandsInTheSameOrder) {
    ASSERT_EQ(KeysOf(m_other.menus), KeysOf(m_english.menus));
    for (const auto& [name, items] : m_english.menus) {
        const auto& other = m_other.menus[name];
        ASSERT_EQ(other.size(), items.size()) << "menu " << name;
        for (size_t i = 0; i < items.size(); ++i) {
            EXPECT_EQ(other[i].first, items[i].first) << "menu " << name << " item " << i;
        }
    }
}

TEST_P(LanguageFiles, HaveEveryDialogWithTheSameControls) {
    ASSERT_EQ(KeysOf(m_other.dialogs), KeysOf(m_english.dialogs));
    for (const auto& [name, controls] : m_english.dialogs) {
        const auto& other = m_other.dialogs[name];
        ASSERT_EQ(other.size(), controls.size()) << "dialog " << name;
        for (size_t i = 0; i < controls.size(); ++i) {
            EXPECT_EQ(std::get<0>(other[i]), std::get<0>(controls[i])) << "dialog " << name;
            EXPECT_EQ(std::get<1>(other[i]), std::get<1>(controls[i])) << "dialog " << name;
        }
    }
}

TEST_P(LanguageFiles, LeaveNothingInEnglishThatTheLanguageSaysOtherwise) {
    for (const auto& [id, text] : m_english.strings) {
        ExpectTranslated(text, m_other.strings[id], "string " + std::to_string(id));
    }
    for (const auto& [name, items] : m_english.menus) {
        for (size_t i = 0; i < items.size() && i < m_other.menus[name].size(); ++i) {
            ExpectTranslated(items[i].second, m_other.menus[name][i].second,
                             "menu " + std::to_string(name) + " item " + std::to_string(i));
        }
    }
    for (const auto& [name, controls] : m_english.dialogs) {
        ExpectTranslated(m_english.captions[name], m_other.captions[name],
                         "caption of dialog " + std::to_string(name));
        for (size_t i = 0; i < controls.size() && i < m_other.dialogs[name].size(); ++i) {
            ExpectTranslated(std::get<2>(controls[i]), std::get<2>(m_other.dialogs[name][i]),
                             "dialog " + std::to_string(name) + " control " + std::to_string(i));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(German, LanguageFiles,
                         ::testing::Values(
#ifdef CONTACTS_GERMAN
                             LanguagePair{"Contacts", CONTACTS_ENGLISH, CONTACTS_GERMAN, 0x0407},
#endif
                             LanguagePair{"Telvane", TELVANE_ENGLISH, TELVANE_GERMAN, 0x0407},
                             LanguagePair{"Quorrel", QUORREL_ENGLISH, QUORREL_GERMAN, 0x0407}),
                         [](const auto& info) { return std::string(info.param.name); });

namespace {

std::u16string MenuText(const LanguageFile& file, WORD menu, UINT command) {
    for (const auto& [id, text] : file.menus.at(menu)) {
        if (id == command) {
            return text;
        }
    }
    return u"(none)";
}

} // namespace

// A few texts as a German phone says them, by the ids the programs use.
TEST(GermanTexts, SayWhatAGermanPhoneSays) {
    const LanguageFile telvane = Read(TELVANE_GERMAN);
    EXPECT_EQ(MenuText(telvane, IDM_MAIN, ID_NEW), u"Neu");
    EXPECT_EQ(MenuText(telvane, IDM_MAIN, ID_DELETE), u"Löschen");
    EXPECT_EQ(MenuText(telvane, IDM_ENTRY_CONTEXT, ID_DIAL), u"Anrufen");
    EXPECT_EQ(MenuText(telvane, IDM_EDITOR, ID_CANCEL), u"Abbrechen");
    EXPECT_EQ(telvane.strings.at(IDS_SIM_INVALID), u"Die SIM-Karte ist ungültig.");
    EXPECT_EQ(telvane.strings.at(IDS_LABEL_WORK), u"[G]");
    // Quorrel's ids overlap Telvane's names, so they are given as numbers: its menu item's
    // string and the Copy soft key of its menu bar.
    const LanguageFile quorrel = Read(QUORREL_GERMAN);
    EXPECT_EQ(quorrel.strings.at(3), u"Auf SIM kopieren");
    EXPECT_EQ(MenuText(quorrel, 102, 499), u"Kopieren");
}
