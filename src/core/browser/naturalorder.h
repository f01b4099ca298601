#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vistrel::core {

// File-name order of the lists: ASCII case ignored, digit runs compared by value
// ("img2" < "img10"), other bytes compared as unsigned bytes.
struct NaturalOrder {
    // Negative, zero or positive. Zero for names that differ only in case or in the leading
    // zeros of a number ("IMG01" and "img1").
    static int compare(std::string_view a, std::string_view b);

    // A total order: names that compare equal above are put in plain byte order, so the
    // listing never depends on the order the file system returned them in.
    bool operator()(std::string_view a, std::string_view b) const;
};


// The positions of names in NaturalOrder, found by comparing each name's key instead of the
// names: a folder of 200,000 files sorts in a fraction of the time. Name i is the text of
// block from starts[i] up to the next start (the last up to the block's end); starts rise.
std::vector<std::uint32_t> NaturalSortOrder(std::string_view block,
                                            const std::vector<std::uint32_t>& starts);
// Sorts names in NaturalOrder, as NaturalSortOrder finds it.
void SortNaturally(std::vector<std::string>& names);

} // namespace vistrel::core
