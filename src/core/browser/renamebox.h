#pragma once

#include <cstdint>
#include <string>

#include "core/browser/thumbnailcache.h"
#include "core/app/geometry.h"
#include "core/app/keys.h"
#include "core/browser/folderbrowser.h"
#include "core/browser/thumbnailsheet.h"
#include "core/platform/dialogs.h"

namespace vistrel::core {

// The in-place rename of a thumbnail's file: a text box over the caption, opened by a
// double-click on the caption and committed when it loses the focus or on Enter. It holds
// the file's name, not just its cell, and closes unused when the cells are cleared or
// rebuilt under it.
class RenameBox {
public:
    static constexpr Twips Height = 285;   // one line of text
    static constexpr Twips AboveCaption = 70;

    RenameBox(ThumbnailSheet& sheet, FolderBrowser& browser, Dialogs& dialogs);
    // The shared thumbnail cache, whose entries follow a renamed picture.
    void FollowWith(ThumbnailCache* thumbnails) { m_thumbnails = thumbnails; }

    // A double-click on the caption of the named file: opens the box on the cell showing that
    // file now, unless a box is open or no cell shows it. By name, because the first click of
    // the double-click may have committed another box and rebuilt the cells since. True when
    // it opened.
    bool CaptionDoubleClick(const std::string& name);

    bool isOpen() const { return m_index >= 0 && m_generation == m_sheet.generation(); }
    // The cell being renamed; -1 while closed.
    int cellIndex() const { return isOpen() ? m_index : -1; }
    // The bare name of the file being renamed, which is also what the box shows when it
    // opens; empty while closed.
    const std::string& fileName() const;
    // The box inside its cell: at the caption's left and 70 above its top, caption-wide.
    Box box() const;
    // The same box on the sheet.
    Box sheetBox() const;

    // The box lost the focus holding text: it closes, then the file is renamed unless the
    // text is empty or unchanged. A failure of any kind shows text + " has already been
    // used." and changes nothing. True when a file was renamed.
    bool LostFocus(const std::string& text);
    // Enter commits as a focus loss does; Esc closes the box and renames nothing. False for
    // a key the box does not take, which then edits the text.
    bool KeyDown(Key key, const std::string& text);

private:
    void Close();

    ThumbnailSheet& m_sheet;
    FolderBrowser& m_browser;
    Dialogs& m_dialogs;
    int m_index = -1;
    std::uint64_t m_generation = 0;
    std::string m_folder;
    std::string m_fileName;
    ThumbnailCache* m_thumbnails = nullptr;
};

} // namespace vistrel::core
