#include "core/browser/naturalorder.h"

#include <cstddef>

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

bool NaturalOrder::operator()(std::string_view a, std::string_view b) const {
    if (const int c = compare(a, b)) return c < 0;
    return a < b;
}

} // namespace vistrel::core
