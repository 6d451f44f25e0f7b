// One property of a vCard as read: its group, name, parameters and value, with the transfer
// encoding and character set already undone, so that the value is UTF-8. What stays in the value
// is the backslash escaping, because splitting a structured value (N, ADR) must see which
// semicolons are escaped; text() and components() undo it as the card's version says.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vcard {

enum class VcardVersion { v2_1, v3_0, v4_0 };

// "2.1", "3.0", "4.0".
std::string_view version_name(VcardVersion version);
std::optional<VcardVersion> parse_version(std::string_view text);

struct VcardParameter {
    // Upper case. A bare parameter of 2.1 ("TEL;CELL") is read as a TYPE.
    std::string name;
    // Split at commas and unquoted.
    std::vector<std::string> values;
};

class VcardProperty {
  public:
    VcardProperty(std::string group, std::string name, std::vector<VcardParameter> parameters,
                  std::string value, VcardVersion version, int line);

    const std::string& group() const { return m_group; }
    // Upper case.
    const std::string& name() const { return m_name; }
    const std::vector<VcardParameter>& parameters() const { return m_parameters; }
    // The first physical line of the property in its file, from 1.
    int line() const { return m_line; }
    const std::string& raw_value() const { return m_value; }

    // Every value of the parameters of that name (upper case), in order.
    std::vector<std::string> parameter(std::string_view name) const;
    // Whether TYPE has this value, ignoring ASCII case.
    bool has_type(std::string_view type) const;
    // How strongly the card prefers this property among its kind: PREF=n of 4.0 (1 is the most
    // preferred), a "pref" TYPE of 2.1 and 3.0 counting as 1; nothing when not preferred.
    std::optional<int> preference() const;

    // The value with its escapes undone.
    std::string text() const;
    // A structured value's parts, split at unescaped semicolons, each with its escapes undone.
    std::vector<std::string> components() const;

  private:
    std::string m_group;
    std::string m_name;
    std::vector<VcardParameter> m_parameters;
    std::string m_value;
    VcardVersion m_version;
    int m_line;
};

} // namespace vcard
