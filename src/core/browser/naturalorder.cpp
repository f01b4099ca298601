#include "core/browser/naturalorder.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <stdexcept>
#include <utility>

#include "core/app/asciitext.h"
#include "core/app/largepages.h"

namespace vistrel::core {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::size_t DigitRunEnd(std::string_view text, std::size_t pos) {
    while (pos < text.size() && IsDigit(text[pos]))
        ++pos;
    return pos;
}

// Compares two digit runs by value without converting them, so runs of any length work.
int CompareNumbers(std::string_view a, std::string_view b) {
    const auto skipZeros = [](std::string_view run) {
        const auto first = run.find_first_not_of('0');
        return first == std::string_view::npos ? std::string_view{} : run.substr(first);
    };
    a = skipZeros(a);
    b = skipZeros(b);
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    const int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

} // namespace

int NaturalOrder::compare(std::string_view a, std::string_view b) {
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (IsDigit(a[i]) && IsDigit(b[j])) {
            const std::size_t ie = DigitRunEnd(a, i), je = DigitRunEnd(b, j);
            if (const int c = CompareNumbers(a.substr(i, ie - i), b.substr(j, je - j))) return c;
            i = ie;
            j = je;
            continue;
        }
        const auto ca = static_cast<unsigned char>(AsciiLower(a[i]));
        const auto cb = static_cast<unsigned char>(AsciiLower(b[j]));
        if (ca != cb) return ca < cb ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size()) return 1;
    if (j < b.size()) return -1;
    return 0;
}

namespace {

// Appends text whose plain byte order is NaturalOrder::compare's order: lower-case ASCII,
// and each digit run as a marker, its significant length and its significant digits.
void AppendNaturalKey(std::string& key, std::string_view name) {
    for (std::size_t i = 0; i < name.size();) {
        if (!IsDigit(name[i])) {
            key += AsciiLower(name[i++]);
            continue;
        }
        const std::size_t end = DigitRunEnd(name, i);
        while (i + 1 < end && name[i] == '0') ++i; // "007" is 7; "000" stays one "0"
        if (name[i] == '0') ++i;                   // ... and a run of zeros is empty
        const auto length = static_cast<std::uint32_t>(end - i);
        // '0' stands for the run: against a non-digit it orders as any digit would, and the
        // length, big-endian, puts shorter numbers first.
        key += '0';
        for (int shift = 24; shift >= 0; shift -= 8)
            key += static_cast<char>((length >> shift) & 0xFF);
        key.append(name.substr(i, end - i));
        i = end;
    }
}

// A name's key within the shared block, led by the eight bytes that follow the prefix every
// key shares, as a number: most comparisons end there, without touching the block.
struct SortEntry {
    std::uint64_t head;
    std::uint32_t offset;
    std::uint32_t length;
    std::uint32_t index;
};

std::uint64_t HeadAt(std::string_view key, std::size_t from) {
    std::uint64_t head = 0;
    for (std::size_t i = 0; i < 8; ++i) {
        const std::size_t at = from + i;
        head = (head << 8) | (at < key.size() ? static_cast<unsigned char>(key[at]) : 0u);
    }
    return head;
}

} // namespace

std::vector<std::uint32_t> NaturalSortOrder(std::string_view text,
                                            const std::vector<std::uint32_t>& starts) {
    // Names are read in place: a copy of 200,000 of them is memory to fault in.
    const struct Names {
        std::string_view text;
        const std::vector<std::uint32_t>& starts;
        std::size_t size() const { return starts.size(); }
        std::string_view operator[](std::size_t i) const {
            const std::size_t end = i + 1 < starts.size() ? starts[i + 1] : text.size();
            return text.substr(starts[i], end - starts[i]);
        }
    } names{text, starts};
    if (names.size() > UINT32_MAX) throw std::length_error("too many names to sort");
    std::vector<std::uint32_t> order(names.size());
    std::string block;
    // A key is at most six bytes a character (a one-digit run: marker, length, digit), so the
    // offsets below fit; room reserved but not used is never touched.
    const std::size_t total = 6 * text.size();
    if (names.size() < 2 || total > UINT32_MAX) { // beyond any folder; the plain way still works
        for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<std::uint32_t>(i);
        std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
            return NaturalOrder{}(names[a], names[b]);
        });
        return order;
    }
    // Fresh memory for a big folder: its page faults would cost more than the sort.
    block.reserve(total);
    AdviseLargePages(block.data(), block.capacity());
    std::vector<SortEntry> entries;
    entries.reserve(names.size());
    AdviseLargePages(entries.data(), entries.capacity() * sizeof(SortEntry));
    entries.resize(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::size_t offset = block.size();
        AppendNaturalKey(block, names[i]);
        entries[i] = {0, static_cast<std::uint32_t>(offset),
                      static_cast<std::uint32_t>(block.size() - offset),
                      static_cast<std::uint32_t>(i)};
    }
    const auto keyOf = [&block](const SortEntry& e) {
        return std::string_view(block).substr(e.offset, e.length);
    };
    // Camera folders share long prefixes ("img_0"): the heads start after them.
    const std::string_view first = keyOf(entries.front());
    std::size_t shared = first.size();
    for (const SortEntry& e : entries) {
        const std::string_view key = keyOf(e);
        const std::size_t limit = std::min(shared, key.size());
        std::size_t n = 0;
        while (n < limit && key[n] == first[n]) ++n;
        shared = n;
    }
    for (SortEntry& e : entries) e.head = HeadAt(keyOf(e), shared);
    const std::size_t rest = shared + 8;
    std::sort(entries.begin(), entries.end(), [&](const SortEntry& a, const SortEntry& b) {
        if (a.head != b.head) return a.head < b.head;
        const std::string_view ka = keyOf(a), kb = keyOf(b);
        const std::string_view ta = ka.size() > rest ? ka.substr(rest) : std::string_view{};
        const std::string_view tb = kb.size() > rest ? kb.substr(rest) : std::string_view{};
        if (const int c = ta.compare(tb)) return c < 0;
        if (ka.size() != kb.size()) return ka.size() < kb.size();
        return names[a.index] < names[b.index];
    });
    for (std::size_t i = 0; i < entries.size(); ++i) order[i] = entries[i].index;
    return order;
}

void SortNaturally(std::vector<std::string>& names) {
    std::string text;
    std::vector<std::uint32_t> starts;
    starts.reserve(names.size());
    for (const std::string& name : names) {
        if (text.size() + name.size() > UINT32_MAX) throw std::length_error("names too long to sort");
        starts.push_back(static_cast<std::uint32_t>(text.size()));
        text += name;
    }
    std::vector<std::uint32_t> order = NaturalSortOrder(text, starts);
    // Names move along the permutation's cycles in place: no second list to allocate.
    for (std::size_t start = 0; start < order.size(); ++start) {
        if (order[start] == start) continue;
        std::string held = std::move(names[start]);
        std::size_t at = start;
        for (;;) {
            const std::size_t from = std::exchange(order[at], static_cast<std::uint32_t>(at));
            if (from == start) {
                names[at] = std::move(held);
                break;
            }
            names[at] = std::move(names[from]);
            at = from;
        }
    }
}

bool NaturalOrder::operator()(std::string_view a, std::string_view b) const {
    if (const int c = compare(a, b)) return c < 0;
    return a < b;
}

} // namespace vistrel::core
