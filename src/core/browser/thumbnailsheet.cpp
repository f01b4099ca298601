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

} // namespace

ThumbnailSheet::ThumbnailSheet(MainWindowModel& model) : m_model(model) {
    m_cells.emplace_back();
    SyncTemplate();
}

// Cell 0 is the model's picCase0; the sheet's copy follows it.
void ThumbnailSheet::SyncTemplate() { m_cells.front().cell = m_model.picCase0; }

void ThumbnailSheet::Clear() {
    ++m_revision;
    m_cells.resize(1);
    m_held.clear();
    m_thumbnailBytes = 0;
    ThumbnailCell& first = m_cells.front();
    first.thumbnail = Image();
    first.name.clear();
    first.broken = false;

    m_model.vScrollState.value = 0;
    m_model.picCase0.top = 0;
    m_model.picBack.top = 0;
    m_model.picBack.height = m_model.picCase0.height;
    m_model.picCase0.visible = false;
    SyncTemplate();
    m_gridRowCount = 0;
    m_focused = -1;
    ++m_generation;
}

ThumbnailCell& ThumbnailSheet::StartCells(int expectedCells) {
    ++m_revision;
    m_cells.resize(1);
    m_held.clear();
    m_thumbnailBytes = 0;
    m_cells.reserve(static_cast<std::size_t>(std::max(expectedCells, 1)));
    ++m_generation;
    m_gridRowCount = 0;
    m_model.picCase0.left = 0;
    m_model.picCase0.top = 0;
    m_model.picCase0.visible = false;
    SyncTemplate();
    ThumbnailCell& first = m_cells.front();
    first.image = Box{};
    first.caption = m_model.lblFileName0;
    first.thumbnail = Image();
    first.name.clear();
    first.broken = false;
    return first;
}

ThumbnailCell& ThumbnailSheet::AddCell() {
    ++m_revision;
    ThumbnailCell added;
    added.cell = Box{0, 0, m_model.picCase0.width, m_model.picCase0.height, false,
                     m_model.picCase0.border};
    added.caption = m_model.lblFileName0;
    m_cells.push_back(std::move(added));
    Place(cellCount() - 1);
    return m_cells.back();
}

int ThumbnailSheet::FindCell(std::string_view name) const {
    if (name.empty()) return -1; // an empty cell 0 stands for no file
    const auto it = std::find_if(m_cells.begin(), m_cells.end(),
                                 [&](const ThumbnailCell& c) { return c.name == name; });
    return it == m_cells.end() ? -1 : static_cast<int>(it - m_cells.begin());
}

void ThumbnailSheet::SetCellVisible(int index, bool visible) {
    ++m_revision;
    cell(index).cell.visible = visible;
    if (index == 0) m_model.picCase0.visible = visible;
}

void ThumbnailSheet::FillCell(int index, std::string name, Image thumbnail,
                              std::optional<Extent> pictureSize) {
    if (index < 0 || index > cellCount()) throw std::out_of_range("ThumbnailSheet::FillCell");
    if (index == cellCount()) AddCell();
    ThumbnailCell& c = cell(index);
    const Box& box = m_model.imgTemp;
    const Twips cellWidth = m_model.picCase0.width;
    const Twips cellHeight = m_model.picCase0.height;

    c.name = std::move(name);
    m_thumbnailBytes -= std::min(m_thumbnailBytes, c.thumbnail.pixelCount() * sizeof(Image::Pixel));
    c.dropped = false;
    c.caption.left = cellWidth / 2 - c.caption.width / 2;
    Extent extent;
    if (pictureSize) {
        extent = FitInside(pictureSize->width, pictureSize->height, box.width, box.height);
        c.thumbnail = std::move(thumbnail);
        c.broken = false;
    } else {
        const Twips mark = std::min(box.width, box.height) / 2;
        extent = {mark, mark};
        c.thumbnail = Image();
        c.broken = true;
    }
    c.image.width = extent.width;
    c.image.height = extent.height;
    c.image.top = (cellHeight - c.caption.height) / 2 - extent.height / 2;
    c.image.left = cellWidth / 2 - extent.width / 2;
    if (!c.thumbnail.isNull()) {
        m_thumbnailBytes += c.thumbnail.pixelCount() * sizeof(Image::Pixel);
        m_held.push_back(index);
    }
    SetCellVisible(index, true);
}

void ThumbnailSheet::DropThumbnailsBeyond(std::size_t budget, int first, int last) {
    // Each held cell is looked at once at most; the shown ones go to the back.
    for (std::size_t turns = m_held.size(); m_thumbnailBytes > budget && turns > 0; --turns) {
        const int index = m_held.front();
        m_held.pop_front();
        if (index >= cellCount()) continue;
        ThumbnailCell& c = m_cells[static_cast<std::size_t>(index)];
        if (c.thumbnail.isNull()) continue; // refilled or emptied since
        if (index >= first && index < last) {
            m_held.push_back(index);
            continue;
        }
        m_thumbnailBytes -= std::min(m_thumbnailBytes, c.thumbnail.pixelCount() * sizeof(Image::Pixel));
        c.thumbnail = Image();
        c.dropped = true;
        ++m_revision;
    }
}

void ThumbnailSheet::RestoreThumbnail(int index, Image thumbnail) {
    if (index < 0 || index >= cellCount() || thumbnail.isNull()) return;
    ThumbnailCell& c = cell(index);
    if (!c.dropped) return;
    c.dropped = false;
    m_thumbnailBytes += thumbnail.pixelCount() * sizeof(Image::Pixel);
    c.thumbnail = std::move(thumbnail);
    m_held.push_back(index);
}

void ThumbnailSheet::Place(int index) {
    const Box& previous = cell(index - 1).cell;
    Box& current = cell(index).cell;
    if (previous.left + previous.width + current.width >= m_model.picBack.width) {
        ++m_gridRowCount;
        current.top = m_model.picCase0.height * m_gridRowCount;
        current.left = 0;
    } else {
        current.left = previous.left + previous.width;
        current.top = previous.top;
    }
}

void ThumbnailSheet::ResizeCases() {
    ++m_revision;
    m_gridRowCount = 0;
    for (int i = 1; i < cellCount(); ++i) Place(i);
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
    const auto first = std::partition_point(
        m_cells.begin(), m_cells.end(), [&](const ThumbnailCell& c) { return c.cell.bottom() <= top; });
    const auto last = std::partition_point(
        first, m_cells.end(), [&](const ThumbnailCell& c) { return c.cell.top < bottom; });
    return {static_cast<int>(first - m_cells.begin()), static_cast<int>(last - m_cells.begin())};
}

std::optional<CellHit> ThumbnailSheet::HitTest(Twips x, Twips y) const {
    const auto [first, last] = CellsBetween(y, y + 1);
    for (int i = first; i < last; ++i) {
        const ThumbnailCell& c = cell(i);
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
