#include "core/browser/renamebox.h"

#include "core/app/apptitle.h"
#include "core/files/pathutil.h"
#include "core/files/rename.h"

namespace vistrel::core {

RenameBox::RenameBox(ThumbnailSheet& sheet, FolderBrowser& browser, Dialogs& dialogs)
    : m_sheet(sheet), m_browser(browser), m_dialogs(dialogs) {}

bool RenameBox::CaptionDoubleClick(const std::string& name) {
    if (isOpen()) return false;
    const int index = m_sheet.FindCell(name);
    if (index < 0) return false;
    m_index = index;
    m_generation = m_sheet.generation();
    // The folder the cells were read from, which is where the file is.
    m_folder = m_browser.fileListPath();
    m_fileName = name;
    return true;
}

void RenameBox::Close() {
    m_index = -1;
    m_folder.clear();
    m_fileName.clear();
}

const std::string& RenameBox::fileName() const {
    static const std::string none;
    return isOpen() ? m_fileName : none;
}

Box RenameBox::box() const {
    if (!isOpen()) return Box{0, 0, 0, 0, false};
    const Box caption = m_sheet.cell(m_index).caption;
    return Box{caption.left, caption.top - AboveCaption, caption.width, Height};
}

Box RenameBox::sheetBox() const {
    Box result = box();
    if (!isOpen()) return result;
    const Box cell = m_sheet.cell(m_index).cell;
    result.left += cell.left;
    result.top += cell.top;
    return result;
}

bool RenameBox::LostFocus(const std::string& text) {
    // Closed, or the cells were rebuilt under the box: whatever it holds is no longer about
    // the file it was opened on.
    if (!isOpen()) {
        Close();
        return false;
    }
    const int index = m_index;
    const std::string folder = m_folder;
    const std::string from = m_fileName;
    Close();
    if (text.empty() || text == from) return false;
    if (RenameWithoutReplacing(folder, from, text)) {
        m_dialogs.MessageBox(text + " has already been used.", AppTitle,
                             MessageButtons::OK, MessageIcon::None);
        return false;
    }
    if (m_thumbnails)
        m_thumbnails->Moved(AppendPathSeparator(folder) + from, AppendPathSeparator(folder) + text);
    m_sheet.RenameCell(index, text);
    m_browser.RefreshFolder();
    return true;
}

bool RenameBox::KeyDown(Key key, const std::string& text) {
    if (!isOpen()) return false;
    switch (key) {
    case Key::Enter: LostFocus(text); return true;
    case Key::Escape: Close(); return true;
    default: return false;
    }
}

} // namespace vistrel::core
