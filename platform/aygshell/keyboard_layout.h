// The keys of the input panel's keyboard and where they lie in the panel: five rows of ten
// columns, letters in the QWERTY order of the device's panel, a shift key for capitals and the
// symbols over the digits, backspace, and the dialling characters a phone number needs.
#pragma once

#include <windef.h>

#include <vector>

namespace handset {

struct PanelKey {
    enum class Action { character, shift, backspace };
    Action action;
    WCHAR normal = 0;  // characters: typed without shift
    WCHAR shifted = 0; // and with it
    RECT area{};       // in the panel's client coordinates

    WCHAR character(bool shift) const { return shift ? shifted : normal; }
};

class KeyboardLayout {
  public:
    // The keys laid out over a panel of this size; the last row and column take what is left
    // over, so the keys cover the panel without gaps.
    KeyboardLayout(LONG width, LONG height);

    const std::vector<PanelKey>& keys() const { return m_keys; }
    // nullptr outside every key.
    const PanelKey* key_at(POINT point) const;

  private:
    std::vector<PanelKey> m_keys;
};

} // namespace handset
