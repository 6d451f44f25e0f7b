// Feeds arbitrary bytes to one of the record parsers, chosen by the first byte: 0 dialog
// template, 1 menu template, 2 string table block, 3 bitmap.
#include "resources/dialog_template.h"
#include "resources/dib.h"
#include "resources/menu_template.h"
#include "resources/string_table.h"

#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("TELVANE_DEBUG", "off", 0);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    std::span<const BYTE> record(data + 1, size - 1);
    switch (data[0] % 4) {
    case 0:
        handset::parse_dialog_template(record);
        break;
    case 1:
        handset::parse_menu_template(record);
        break;
    case 2:
        for (UINT id = 0; id < handset::kStringsPerBlock; ++id) {
            handset::string_in_block(record, id);
        }
        break;
    case 3:
        handset::parse_dib(record);
        break;
    }
    return 0;
}
