#include "core/printing/pageplacer.h"

#include "core/app/numbers.h"

namespace vistrel::core {

namespace {
constexpr const char* Blank = " ";
}

PagePlacer::PagePlacer(Extent page, Twips lineHeight) : m_area(page), m_line(lineHeight) {}

void PagePlacer::NewPage() {
    ++m_page;
    m_y = 0;
}

std::vector<PrintItem> PagePlacer::Place(Extent picture, const std::optional<std::string>& name) {
    const Extent size = FitInside(picture.width, picture.height, m_area.width, m_area.height);
    const Twips withName = size.height + (name ? 2 * m_line : 0);
    if (m_y > 0 && (m_y + size.height > m_area.height ||
                    (m_y + withName > m_area.height && withName <= m_area.height)))
        NewPage();

    std::vector<PrintItem> items;
    items.push_back({PrintItem::Kind::Picture, m_page, {0, m_y, size.width, size.height}, {}});
    m_y = static_cast<Twips>(RoundHalfEven(m_y + size.height));
    AddLine(items, Blank, true);
    if (name) {
        AddLine(items, *name, false);
        AddLine(items, Blank, true);
    }
    return items;
}

void PagePlacer::AddLine(std::vector<PrintItem>& items, const std::string& text, bool spacing) {
    if (m_y + m_line > m_area.height) {
        if (spacing) {
            m_y = m_area.height;
            return;
        }
        NewPage();
    }
    items.push_back({PrintItem::Kind::Line, m_page, {0, m_y, 0, m_line}, text});
    m_y += m_line;
}

} // namespace vistrel::core
