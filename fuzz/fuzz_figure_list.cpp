// Arbitrary bytes as the figure list.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "files/figure_list.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::size_t total = 0;
    for (const std::string& entry : murlen::ParseFigureList(text)) total += entry.size();
    if (total > size) std::abort();  // entries are taken from the text, never made up
    return 0;
}
