// Feeds arbitrary bytes to the .reg parser. Beyond not crashing, whatever it reads must survive
// a trip through the writer: the written text parses without complaint into the same tree, and
// writing that tree again gives the same text.
#include "registry/reg_file_parser.h"
#include "registry/reg_file_writer.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using handset::RegFileParser;
    RegFileParser lenient([](const RegFileParser::Problem&) {});
    const handset::RegistryTree tree =
        lenient.parse(std::string_view(reinterpret_cast<const char*>(data), size));

    const std::string written = handset::write_reg_file(tree);
    RegFileParser strict([&](const RegFileParser::Problem& problem) {
        std::fprintf(stderr, "written text complained about at line %zu: %.*s\n%s\n",
                     problem.line_number, static_cast<int>(problem.text.size()),
                     problem.text.data(), written.c_str());
        std::abort();
    });
    const handset::RegistryTree reread = strict.parse(written);
    if (!(reread == tree) || handset::write_reg_file(reread) != written) {
        std::fprintf(stderr, "the written text does not read back the same:\n%s\n",
                     written.c_str());
        std::abort();
    }
    return 0;
}
