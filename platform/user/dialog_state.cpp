#include "user/dialog_state.h"

#include <wingdi.h>

namespace handset {

DialogState::~DialogState() {
    if (owns_font && font) {
        DeleteObject(font);
    }
}

} // namespace handset
