#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/app/fitinside.h"
#include "core/app/geometry.h"

namespace vistrel::core {

// One thing to draw on a printed page.
struct PrintItem {
    enum class Kind { Picture, Line };
    Kind kind = Kind::Picture;
    int page = 0;     // counted from 0
    Box box;          // twips from the printable area's top-left; a line is one line high
    std::string text; // a line's text
    bool operator==(const PrintItem&) const = default;
};

// Places pictures one below the other down the pages, each followed by a blank line and,
// when asked, a line with its name and another blank. A picture keeps its natural size
// unless it is larger than the printable area, then it shrinks to fit it. Whatever does not
// fit below on the current page starts the next one; a name line moves there with its
// picture when both fit on a page of their own. Blank lines only space things: one that does
// not fit fills the page, and never starts a page by itself.
class PagePlacer {
public:
    PagePlacer(Extent page, Twips lineHeight);

    // The items of one picture of `picture` natural size, in drawing order.
    std::vector<PrintItem> Place(Extent picture, const std::optional<std::string>& name);
    // Pages used so far (at least one).
    int Pages() const { return m_page + 1; }

private:
    void NewPage();
    void AddLine(std::vector<PrintItem>& items, const std::string& text, bool spacing);

    Extent m_area;
    Twips m_line;
    int m_page = 0;
    Twips m_y = 0;
};

} // namespace vistrel::core
