#include "gdi/font_locator.h"

#include <fontconfig/fontconfig.h>

#include <cstring>
#include <filesystem>

namespace handset {

namespace {

constexpr const char* family = "DejaVu Sans";
constexpr const char* debian_folder = "/usr/share/fonts/truetype/dejavu/";

std::optional<std::string> match_in(FcConfig* config, bool bold) {
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(config, pattern, &result);
    FcPatternDestroy(pattern);
    if (match == nullptr) {
        return std::nullopt;
    }
    std::optional<std::string> path;
    FcChar8* matched_family = nullptr;
    FcChar8* file = nullptr;
    if (FcPatternGetString(match, FC_FAMILY, 0, &matched_family) == FcResultMatch &&
        std::strcmp(reinterpret_cast<const char*>(matched_family), family) == 0 &&
        FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
        path = reinterpret_cast<const char*>(file);
    }
    FcPatternDestroy(match);
    return path;
}

// fontconfig always answers with some font; only an answer of the family itself counts. The
// lookup runs on a configuration of its own, freed afterwards: fontconfig's shared default one
// is never released and shows as a leak in every test run.
std::optional<std::string> ask_fontconfig(bool bold) {
    FcConfig* config = FcInitLoadConfigAndFonts();
    if (config == nullptr) {
        return std::nullopt;
    }
    std::optional<std::string> path = match_in(config, bold);
    FcConfigDestroy(config);
    return path;
}

std::optional<std::string> debian_file(bool bold) {
    std::string path =
        std::string(debian_folder) + (bold ? "DejaVuSans-Bold.ttf" : "DejaVuSans.ttf");
    std::error_code error;
    if (std::filesystem::is_regular_file(path, error)) {
        return path;
    }
    return std::nullopt;
}

} // namespace

std::optional<std::string> locate_dejavu_sans(bool bold) {
    if (std::optional<std::string> path = ask_fontconfig(bold)) {
        return path;
    }
    return debian_file(bold);
}

} // namespace handset
