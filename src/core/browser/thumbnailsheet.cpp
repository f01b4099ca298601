#include "core/browser/thumbnailsheet.h"

#include "core/app/numbers.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace vistrel::core {

namespace {

bool Contains(const Box& box, Twips x, Twips y) {
    return x >= box.left && x < box.right() && y >= box.top && y < box.bottom();
}

// The thumbnail of a cell without one.
const Image NoThumbnail;

// A row never holds more cells than this, even of cells too narrow to fill it.
constexpr std::size_t kMaxColumns = 1 << 16;

} // namespace

ThumbnailSheet::ThumbnailSheet(MainWindowModel& model) : m_model(model) {
    m_cells.emplace_back();
    Layout();
}

// Cell 0 is the model's picCase0; the other cells take its size when placed.
void ThumbnailSheet::Layout() {
    m_cellWidth = m_model.picCase0.width;
    m_cellHeight = m_model.picCase0.height;
    m_cellBorder = m_model.picCase0.border;
    m_layoutWidth = m_model.picBack.width;
    // Each cell goes after the one before it, or starts a row when it would reach the
    // sheet's edge: the same sums for every row, so one row's starts serve all of them.
    m_columnLefts.assign(1, m_model.picCase0.left);
    while (m_columnLefts.size() < kMaxColumns) {
        const Twips previous = m_columnLefts.back();
        if (previous + m_cellWidth + m_cellWidth >= m_model.picBack.width) break;
        m_columnLefts.push_back(previous + m_cellWidth);
    }
}

Box ThumbnailSheet::CellBox(int index) const {
    if (index == 0) return m_model.picCase0;
    const auto columns = static_cast<int>(m_columnLefts.size());
    const bool visible = (m_cells[static_cast<std::size_t>(index)].flags & Visible) != 0;
    return Box{m_columnLefts[static_cast<std::size_t>(index % columns)],
               m_cellHeight * (index / columns), m_cellWidth, m_cellHeight, visible,
               m_cellBorder};
}

std::string_view ThumbnailSheet::NameOf(int index) const {
    if (!(m_cells[static_cast<std::size_t>(index)].flags & Filled)) return {};
    if (auto own = m_ownNames.find(index); own != m_ownNames.end()) return own->second;
    if (m_names && static_cast<std::size_t>(index) < m_names->size())
        return (*m_names)[static_cast<std::size_t>(index)];
    return {};
}

ThumbnailCell ThumbnailSheet::cell(int index) const {
    if (index < 0 || index >= cellCount()) throw std::out_of_range("ThumbnailSheet::cell");
    const Record& record = m_cells[static_cast<std::size_t>(index)];
    const auto thumbnail = m_thumbnails.find(index);
    ThumbnailCell result{CellBox(index), Box{}, m_model.lblFileName0, std::string(NameOf(index)),
                         thumbnail == m_thumbnails.end() ? NoThumbnail : thumbnail->second,
                         (record.flags & Broken) != 0, (record.flags & Dropped) != 0};
    if (record.flags & Filled) {
        const Twips cellWidth = m_model.picCase0.width;
        const Twips cellHeight = m_model.picCase0.height;
        Box& caption = result.caption;
        caption.left = cellWidth / 2 - caption.width / 2;
        Box& image = result.image;
        image.width = record.imageWidth;
        image.height = record.imageHeight;
        image.top = (cellHeight - caption.height) / 2 - image.height / 2;
        image.left = cellWidth / 2 - image.width / 2;
    }
    return result;
}

void ThumbnailSheet::RenameCell(int index, std::string name) {
    if (index < 0 || index >= cellCount()) throw std::out_of_range("ThumbnailSheet::RenameCell");
    ++m_revision;
    m_ownNames[index] = std::move(name);
}

void ThumbnailSheet::Clear() {
    ++m_revision;
    m_cells.assign(1, Record{});
    m_names.reset();
    m_ownNames.clear();
    m_thumbnails.clear();
    m_held.clear();
    m_thumbnailBytes = 0;

    m_model.vScrollState.value = 0;
    m_model.picCase0.top = 0;
    m_model.picBack.top = 0;
    m_model.picBack.height = m_model.picCase0.height;
    m_model.picCase0.visible = false;
    Layout();
    m_focused = -1;
    ++m_generation;
}

void ThumbnailSheet::StartCells(int expectedCells, Names names) {
    ++m_revision;
    m_cells.assign(1, Record{});
    m_cells.reserve(static_cast<std::size_t>(std::max(expectedCells, 1)));
    m_names = std::move(names);
    m_ownNames.clear();
    m_thumbnails.clear();
    m_held.clear();
    m_thumbnailBytes = 0;
    ++m_generation;
    m_model.picCase0.left = 0;
    m_model.picCase0.top = 0;
    m_model.picCase0.visible = false;
    Layout();
}

int ThumbnailSheet::AddCell() {
    ++m_revision;
    // The sheet may have changed width since the last cell was placed.
    const Box& first = m_model.picCase0;
    if (m_columnLefts.front() != first.left || m_cellWidth != first.width ||
        m_cellHeight != first.height || m_cellBorder != first.border ||
        m_layoutWidth != m_model.picBack.width)
        Layout();
    m_cells.emplace_back();
    return cellCount() - 1;
}

int ThumbnailSheet::FindCell(std::string_view name) const {
    if (name.empty()) return -1; // an empty cell 0 stands for no file
    for (int i = 0; i < cellCount(); ++i)
        if (NameOf(i) == name) return i;
    return -1;
}

void ThumbnailSheet::SetCellVisible(int index, bool visible) {
    if (index < 0 || index >= cellCount()) throw std::out_of_range("ThumbnailSheet::SetCellVisible");
    ++m_revision;
    std::uint8_t& flags = m_cells[static_cast<std::size_t>(index)].flags;
    flags = visible ? (flags | Visible) : (flags & ~Visible);
    if (index == 0) m_model.picCase0.visible = visible;
}

void ThumbnailSheet::FillCell(int index, std::string name, Image thumbnail,
                              std::optional<Extent> pictureSize) {
    if (index < 0 || index > cellCount()) throw std::out_of_range("ThumbnailSheet::FillCell");
    if (index == cellCount()) AddCell();
    ++m_revision;
    Record& record = m_cells[static_cast<std::size_t>(index)];
    const Box& box = m_model.imgTemp;

    const bool listed = m_names && static_cast<std::size_t>(index) < m_names->size() &&
                        (*m_names)[static_cast<std::size_t>(index)] == name;
    if (listed) m_ownNames.erase(index);
    else m_ownNames[index] = std::move(name);
    if (auto held = m_thumbnails.find(index); held != m_thumbnails.end()) {
        m_thumbnailBytes -= std::min(m_thumbnailBytes, held->second.pixelCount() * sizeof(Image::Pixel));
        m_thumbnails.erase(held);
    }
    Extent extent;
    std::uint8_t flags = Filled;
    if (pictureSize) {
        extent = FitInside(pictureSize->width, pictureSize->height, box.width, box.height);
        if (!thumbnail.isNull()) {
            m_thumbnailBytes += thumbnail.pixelCount() * sizeof(Image::Pixel);
            m_thumbnails.emplace(index, std::move(thumbnail));
            m_held.push_back(index);
        }
    } else {
        const Twips mark = std::min(box.width, box.height) / 2;
        extent = {mark, mark};
        flags |= Broken;
    }
    record.imageWidth = static_cast<float>(extent.width);
    record.imageHeight = static_cast<float>(extent.height);
    record.flags = static_cast<std::uint8_t>(flags | (record.flags & Visible));
    SetCellVisible(index, true);
}

void ThumbnailSheet::DropThumbnailsBeyond(std::size_t budget, int first, int last) {
    // Each held cell is looked at once at most; the shown ones go to the back.
    for (std::size_t turns = m_held.size(); m_thumbnailBytes > budget && turns > 0; --turns) {
        const int index = m_held.front();
        m_held.pop_front();
        const auto held = m_thumbnails.find(index);
        if (held == m_thumbnails.end()) continue; // refilled or emptied since
        if (index >= first && index < last) {
            m_held.push_back(index);
            continue;
        }
        m_thumbnailBytes -= std::min(m_thumbnailBytes, held->second.pixelCount() * sizeof(Image::Pixel));
        m_thumbnails.erase(held);
        m_cells[static_cast<std::size_t>(index)].flags |= Dropped;
        ++m_revision;
    }
}

void ThumbnailSheet::RestoreThumbnail(int index, Image thumbnail) {
    if (index < 0 || index >= cellCount() || thumbnail.isNull()) return;
    std::uint8_t& flags = m_cells[static_cast<std::size_t>(index)].flags;
    if (!(flags & Dropped)) return;
    ++m_revision;
    flags &= static_cast<std::uint8_t>(~Dropped);
    m_thumbnailBytes += thumbnail.pixelCount() * sizeof(Image::Pixel);
    m_thumbnails[index] = std::move(thumbnail);
    m_held.push_back(index);
}

void ThumbnailSheet::ResizeCases() {
    ++m_revision;
    Layout();
    if (m_viewChanged) m_viewChanged();
}

void ThumbnailSheet::FitToPane() {
    MainWindowModel& m = m_model;
    m.vScroll.height = m.picPreview.innerHeight();
    m.vScroll.left = m.picPreview.innerWidth() - m.vScroll.width;
    m.picBack.width = m.vScroll.left;
}

void ThumbnailSheet::BackToScrollBar() { m_model.picBack.width = m_model.vScroll.left; }

void ThumbnailSheet::UpdateScrollRange() {
    MainWindowModel& m = m_model;
    m.picBack.height = lastCellBottom();
    m.vScrollState.maximum = m.picBack.height > MaxScroll
                                 ? MaxScroll
                                 : static_cast<int>(RoundHalfEven(m.picBack.height));
    m.vScrollState.value = std::clamp(m.vScrollState.value, 0, std::max(m.vScrollState.maximum, 0));
    // Decided again on every change, resizes included: a pane that shrank under a sheet
    // without a scroll bar would leave its lower rows out of reach.
    m.vScroll.visible = m.picBack.height > m.picPreview.height;
    if (m.vScroll.visible) VScroll_Change();
    else m.picBack.top = 0;
}

void ThumbnailSheet::SetScrollValue(int value) {
    m_model.vScrollState.value = std::clamp(value, 0, std::max(m_model.vScrollState.maximum, 0));
    VScroll_Change();
}

void ThumbnailSheet::VScroll_Change() {
    ++m_revision;
    MainWindowModel& m = m_model;
    const int maximum = m.vScrollState.maximum;
    m.picBack.top = maximum <= 0 ? 0
                                 : -(static_cast<double>(m.vScrollState.value) / maximum *
                                     (m.picBack.height - m.picPreview.innerHeight()));
    if (m_viewChanged) m_viewChanged();
}

std::pair<int, int> ThumbnailSheet::CellsBetween(Twips top, Twips bottom) const {
    // The first index in [from, cellCount()) whose cell no longer passes.
    const auto firstFailing = [this](int from, auto passes) {
        int low = from, high = cellCount();
        while (low < high) {
            const int middle = low + (high - low) / 2;
            if (passes(CellBox(middle))) low = middle + 1;
            else high = middle;
        }
        return low;
    };
    const int first = firstFailing(0, [&](const Box& c) { return c.bottom() <= top; });
    const int last = firstFailing(first, [&](const Box& c) { return c.top < bottom; });
    return {first, last};
}

std::optional<CellHit> ThumbnailSheet::HitTest(Twips x, Twips y) const {
    const auto [first, last] = CellsBetween(y, y + 1);
    for (int i = first; i < last; ++i) {
        const ThumbnailCell c = cell(i);
        if (!c.cell.visible || !Contains(c.cell, x, y)) continue;
        const Twips cx = x - c.cell.left;
        const Twips cy = y - c.cell.top;
        if (Contains(c.caption, cx, cy)) return CellHit{i, CellZone::Caption};
        if (Contains(c.image, cx, cy)) return CellHit{i, CellZone::Image};
        return CellHit{i, CellZone::Frame};
    }
    return std::nullopt;
}

} // namespace vistrel::core
