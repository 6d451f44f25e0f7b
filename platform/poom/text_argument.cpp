#include "poom/text_argument.h"

namespace handset {

bool read_text_argument(const WCHAR* text, std::u16string& out) {
    out.clear();
    if (text == nullptr) {
        return true;
    }
    size_t length = 0;
    while (text[length] != 0) {
        if (length == longest_property_text) {
            return false;
        }
        ++length;
    }
    out.assign(text, length);
    return true;
}

} // namespace handset
