#include "core/browser/naturalorder.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <numeric>
#include <utility>

#include "core/app/asciitext.h"

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

std::string NaturalKey(std::string_view name) {
    std::string key;
    key.reserve(name.size() + 8);
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
    return key;
}

void SortNaturally(std::vector<std::string>& names) {
    std::vector<std::pair<std::string, std::size_t>> keys;
    keys.reserve(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) keys.emplace_back(NaturalKey(names[i]), i);
    std::sort(keys.begin(), keys.end(), [&](const auto& a, const auto& b) {
        if (a.first != b.first) return a.first < b.first;
        return names[a.second] < names[b.second];
    });
    std::vector<std::string> sorted;
    sorted.reserve(names.size());
    for (const auto& key : keys) sorted.push_back(std::move(names[key.second]));
    names = std::move(sorted);
}

bool NaturalOrder::operator()(std::string_view a, std::string_view b) const {
    if (const int c = compare(a, b)) return c < 0;
    return a < b;
}

} // namespace vistrel::core
