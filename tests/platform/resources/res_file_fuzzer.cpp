// Feeds arbitrary bytes to the .res parser, and every entry it accepts to the parser of its type,
// as the loader and the window system would.
#include "resources/dialog_template.h"
#include "resources/dib.h"
#include "resources/menu_template.h"
#include "resources/res_file.h"
#include "resources/string_table.h"

#include <cstdlib>

namespace {

constexpr WORD kBitmap = 2;
constexpr WORD kMenu = 4;
constexpr WORD kDialog = 5;
constexpr WORD kString = 6;

void parse_entry(const handset::ResEntry& entry) {
    if (!entry.type.is_ordinal()) {
        return;
    }
    switch (entry.type.ordinal) {
    case kBitmap:
        handset::parse_dib(entry.data);
        break;
    case kMenu:
        handset::parse_menu_template(entry.data);
        break;
    case kDialog:
        handset::parse_dialog_template(entry.data);
        break;
    case kString:
        for (UINT id = 0; id < handset::kStringsPerBlock; ++id) {
            handset::string_in_block(entry.data, id);
        }
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Each damaged input writes a debug line; the fuzzer runs faster without them.
    setenv("TELVANE_DEBUG", "off", 0);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto entries = handset::parse_res_file({data, size}, "fuzz input");
    if (entries) {
        for (const handset::ResEntry& entry : *entries) {
            parse_entry(entry);
        }
    }
    return 0;
}
