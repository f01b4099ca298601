#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <unordered_map>
#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/app/fitinside.h"
#include "core/app/geometry.h"
#include "core/app/mainwindowmodel.h"
#include "core/editing/image.h"

namespace vistrel::core {

// One thumbnail cell (picCase(i) with imgPreview(i) and lblFileName(i)) as the sheet shows
// it. The sheet keeps only a few bytes a cell and makes this on request; the thumbnail is
// the sheet's own and lives until the cell is refilled, dropped or cleared.
struct ThumbnailCell {
    Box cell;                // on the sheet
    Box image;               // inside the cell; for a broken cell, where its mark goes
    Box caption;             // inside the cell
    std::string name;        // the caption: the bare file name; empty until filled
    const Image& thumbnail;  // the scaled copy only; null for a broken, empty or dropped cell
    bool broken = false;
    bool dropped = false; // its thumbnail was let go to save memory; it comes back when shown
};

// The parts of a cell that react differently to the mouse.
enum class CellZone { Frame, Image, Caption };

struct CellHit {
    int index = -1;
    CellZone zone = CellZone::Frame;
    bool operator==(const CellHit&) const = default;
};

// The thumbnail sheet (picBack) and its cells. Cell 0 is the template and always exists;
// cells 1..n are added by the build. Sheet width, height and top, the scroll bar and the
// templates' sizes live in the main window model, which this class keeps in step.
class ThumbnailSheet {
public:
    // The scroll bar's range is 16-bit; taller sheets scroll in coarser steps.
    static constexpr int MaxScroll = 32000;

    explicit ThumbnailSheet(MainWindowModel& model);

    using Names = std::shared_ptr<const std::vector<std::string>>;

    // Cells, cell 0 included.
    int cellCount() const { return static_cast<int>(m_cells.size()); }
    // Throws std::out_of_range for an index outside 0..cellCount()-1.
    ThumbnailCell cell(int index) const;
    // Whether the cell's thumbnail was let go; cheaper than cell(index).dropped.
    bool dropped(int index) const {
        return index >= 0 && index < cellCount() &&
               (m_cells[static_cast<std::size_t>(index)].flags & Dropped) != 0;
    }
    // The cell's caption from now on (the file was renamed).
    void RenameCell(int index, std::string name);

    // Counts the clears and starts of the cells: an index names the same file only while this
    // stays the same.
    std::uint64_t generation() const { return m_generation; }
    // The cell showing the named file; -1 when none does.
    int FindCell(std::string_view name) const;

    // Index of the row the last placed cell went into.
    int GridRowCount() const {
        return (cellCount() - 1) / static_cast<int>(m_columnLefts.size());
    }

    // Removes cells 1..n, empties and hides cell 0 and puts sheet, cell 0 and the scroll
    // value back to the top.
    void Clear();
    // Leaves only cell 0, empty and hidden at the top left, ready to be filled; makes room
    // for the expected number of cells. names, when given, is the listing the cells are
    // filled from: a cell filled with its listed name keeps no copy of it.
    void StartCells(int expectedCells = 1, Names names = {});
    // Adds an empty, hidden cell the size of cell 0, placed after the last cell; returns its
    // index.
    int AddCell();
    void SetCellVisible(int index, bool visible);
    // Fills cell index as a build does and shows it; index cellCount() adds the cell first.
    // The caption, the file's name, is centred across the cell. pictureSize is the picture's
    // natural size in twips: it is shrunk to fit the picture box (imgTemp) and centred above
    // the caption. Without one the file would not load: the cell is marked broken, with a
    // square mark half the box's shorter side in the picture's place, and no thumbnail.
    void FillCell(int index, std::string name, Image thumbnail, std::optional<Extent> pictureSize);

    // --- thumbnail memory: decoded thumbnails are kept within a budget, the shown ones always
    std::size_t thumbnailBytes() const { return m_thumbnailBytes; }
    // Lets go of the thumbnails filled longest ago, except those of cells first..last-1, until
    // the rest fit in budget bytes.
    void DropThumbnailsBeyond(std::size_t budget, int first, int last);
    // Gives a dropped cell its thumbnail back.
    void RestoreThumbnail(int index, Image thumbnail);
    // Called after every scroll or change of the cells' places, to bring back what shows.
    void setViewChanged(std::function<void()> changed) { m_viewChanged = std::move(changed); }

    // Re-places cells 1..n in rows for the current sheet width; nothing else changes.
    void ResizeCases();

    // --- the backdrop (picBack) and the scroll bar beside it; this class alone writes them
    // The scroll bar along the pane's inside right edge, the backdrop up to it.
    void FitToPane();
    // The backdrop as wide as the room left of the scroll bar.
    void BackToScrollBar();
    // The backdrop as high as its cells and the scroll range from that height, capped at
    // what the bar can hold; the bar shows only when the sheet is higher than the pane,
    // else the sheet goes back to the top. Runs after every change of the cells or the pane.
    void UpdateScrollRange();
    // The scroll bar's value, kept inside its range, and the sheet moved for it.
    void SetScrollValue(int value);
    // Moves the sheet for the scroll bar's current value.
    void VScroll_Change();
    // The backdrop as shown: its height may lag behind the cells until the scroll range is set,
    // and the rows built so far show anyway.
    Box ShownBack() const {
        Box back = m_model.picBack;
        back.height = std::max(back.height, lastCellBottom());
        return back;
    }
    // Top + height of the cell with the highest index.
    Twips lastCellBottom() const { return CellBox(cellCount() - 1).bottom(); }

    // The range [first, last) of cells that may overlap sheet rows top..bottom; relies on
    // cells being placed in rows from the top down.
    std::pair<int, int> CellsBetween(Twips top, Twips bottom) const;
    // The shown cell and zone under a point of the sheet.
    std::optional<CellHit> HitTest(Twips x, Twips y) const;

    // The cell that has the keyboard focus; -1 when none (every clear takes it away).
    int focusedCell() const { return m_focused; }
    void setFocusedCell(int index) {
        m_focused = index;
        ++m_revision;
    }
    // Counts every change of what the sheet shows, so it is repainted only after one.
    std::uint64_t revision() const { return m_revision; }

private:
    // What the sheet keeps of a cell.
    struct Record {
        float imageWidth = 0; // the fitted picture, or a broken cell's mark, in twips
        float imageHeight = 0;
        std::uint8_t flags = 0;
    };
    enum Flag : std::uint8_t { Visible = 1, Filled = 2, Broken = 4, Dropped = 8 };

    // Cells are placed in rows of equal cells the size of cell 0: where each column starts,
    // for one row, at the sheet's width now.
    void Layout();
    Box CellBox(int index) const;
    std::string_view NameOf(int index) const;

    MainWindowModel& m_model;
    std::vector<Record> m_cells;
    Names m_names;
    std::unordered_map<int, std::string> m_ownNames; // filled or renamed off the listing
    std::unordered_map<int, Image> m_thumbnails;
    std::vector<Twips> m_columnLefts{0};
    Twips m_cellWidth = 0, m_cellHeight = 0, m_cellBorder = 0, m_layoutWidth = 0;
    int m_focused = -1;
    std::uint64_t m_generation = 0;
    std::uint64_t m_revision = 0;
    std::size_t m_thumbnailBytes = 0;
    std::deque<int> m_held; // cells holding a thumbnail, oldest first
    std::function<void()> m_viewChanged;
};

} // namespace vistrel::core
