#include "core/app/commands.h"

#include "core/browser/filetypes.h"

namespace vistrel::core {

namespace {

using C = Command;

MenuEntry Item(std::string parent, std::string name, std::string caption, C command,
               std::string shortcut = {}, std::string argument = {}) {
    MenuEntry e;
    e.parent = std::move(parent);
    e.name = std::move(name);
    e.caption = std::move(caption);
    e.command = command;
    e.shortcut = std::move(shortcut);
    e.argument = std::move(argument);
    return e;
}

MenuEntry Sub(std::string parent, std::string name, std::string caption) {
    MenuEntry e = Item(std::move(parent), std::move(name), std::move(caption), C::None);
    e.hasChildren = true;
    return e;
}

MenuEntry Line(std::string parent, std::string name) {
    MenuEntry e = Item(std::move(parent), std::move(name), "-", C::None);
    e.separator = true;
    return e;
}

MenuEntry Checked(MenuEntry e) {
    e.checkable = true;
    return e;
}

std::vector<MenuEntry> BuildMenus() {
    std::vector<MenuEntry> m;
    m.push_back(Sub("", "mnuFile", "&File"));
    m.push_back(Item("mnuFile", "mnuSaveas", "Save As", C::SaveAs, "Ctrl+S"));
    m.push_back(Line("mnuFile", "mnuLine14"));
    m.push_back(Item("mnuFile", "mnuEditImage", "Shell Edit", C::ShellEdit, "Ctrl+E"));
    m.push_back(Line("mnuFile", "mnuLine1"));
    m.push_back(Item("mnuFile", "mnuPrevious", "Previous", C::Previous));
    m.push_back(Item("mnuFile", "mnuNext", "Next", C::Next));
    m.push_back(Line("mnuFile", "mnuLine2"));
    m.push_back(Item("mnuFile", "mnuPrint", "Print", C::Print, "Ctrl+P"));
    m.push_back(Line("mnuFile", "mnuLine3"));
    m.push_back(Item("mnuFile", "mnuExit", "Exit", C::Exit, "F12"));

    m.push_back(Sub("", "mnuEdit", "&Edit"));
    m.push_back(Item("mnuEdit", "mnuCopy", "Copy", C::CopyPicture, "Ctrl+X"));
    m.push_back(Item("mnuEdit", "mnuPaste", "Paste", C::Paste, "Ctrl+V"));
    m.push_back(Line("mnuEdit", "mnuLine19"));
    m.push_back(Item("mnuEdit", "mnuMoveTo", "Move To", C::MoveTo, "Ctrl+M"));
    m.push_back(Item("mnuEdit", "mnuCopyTo", "Copy To", C::CopyTo, "Ctrl+C"));
    m.push_back(Line("mnuEdit", "mnuLine20"));
    m.push_back(Item("mnuEdit", "mnuDelete", "Delete", C::Delete, "Shift+Del"));
    m.push_back(Item("mnuEdit", "mnuRename", "Rename", C::Rename, "Ctrl+R"));
    m.push_back(Line("mnuEdit", "mnuLine25"));
    m.push_back(Sub("mnuEdit", "mnuFolder", "Folder"));
    m.push_back(Item("mnuFolder", "mnuNewFolder", "Create New Folder", C::NewFolder));
    m.push_back(Line("mnuFolder", "mnuLine23"));
    m.push_back(Item("mnuFolder", "mnuMoveFolder", "Move Folder", C::MoveFolder));
    m.push_back(Item("mnuFolder", "mnuCopyFolder", "Copy Folder", C::CopyFolder));
    m.push_back(Line("mnuFolder", "mnuLine24"));
    m.push_back(Item("mnuFolder", "mnuDeleteFolder", "Delete Folder", C::DeleteFolder));
    m.push_back(Item("mnuFolder", "mnuRenameFolder", "Rename Folder", C::RenameFolder));

    m.push_back(Sub("", "mnuView", "&View"));
    m.push_back(Item("mnuView", "mnuDisplay", "Display", C::Display, "F6"));
    m.push_back(Item("mnuView", "mnuExplorer", "Explorer", C::Explorer, "F8"));
    m.push_back(Line("mnuView", "mnuLine18"));
    m.push_back(Item("mnuView", "mnuRefresh", "Refresh", C::Refresh, "F5"));
    m.push_back(Line("mnuView", "mnuLine4"));
    m.push_back(Item("mnuView", "mnuFullScreen", "Full Screen", C::FullScreen, "F9"));
    m.push_back(Item("mnuView", "mnuSlideShow", "Slide Show", C::SlideShow, "F7"));
    m.push_back(Line("mnuView", "mnuLine16"));
    m.push_back(Item("mnuView", "mnuOptions", "Options", C::Options, "Ctrl+O"));
    m.push_back(Sub("mnuView", "mnuToolbars", "Toolbars"));
    m.push_back(Checked(Item("mnuToolbars", "mnuTool", "Tools", C::ToggleTools)));
    m.push_back(Checked(Item("mnuToolbars", "mnuAddress", "Address", C::ToggleAddress)));
    m.push_back(Sub("mnuView", "mnuFileType", "File Type"));
    // The browser's table, so a menu item and the pattern it sets cannot drift apart.
    for (const FileTypeItem& type : FileTypeItems) {
        const std::string name(type.name);
        m.push_back(type.isSeparator()
                        ? Line("mnuFileType", name)
                        : Item("mnuFileType", name, std::string(type.caption), C::FileType, {},
                               name));
    }
    m.push_back(Line("mnuView", "mnuLine5"));
    m.push_back(Sub("mnuView", "mnuZoom", "Zoom"));
    m.push_back(Item("mnuZoom", "mnuZoomIn", "Zoom In", C::ZoomIn, "F3"));
    m.push_back(Item("mnuZoom", "mnuZoomOut", "Zoom Out", C::ZoomOut, "F4"));
    m.push_back(Line("mnuZoom", "mnuLine6"));
    for (const char* level : {"10", "25", "50", "75", "100", "150", "200", "300", "500", "700"})
        m.push_back(Item("mnuZoom", std::string("mnu") + level, std::string(level) + "%",
                         C::ZoomLevel, {}, level));

    m.push_back(Sub("", "mnuTools", "&Tools"));
    m.push_back(Item("mnuTools", "mnuMove", "Mover", C::Mover));
    m.push_back(Item("mnuTools", "mnuSelect", "Select", C::Select));
    m.push_back(Item("mnuTools", "mnuSelectAll", "Select All", C::SelectAll, "Ctrl+A"));
    m.push_back(Line("mnuTools", "mnuLine15"));
    m.push_back(Item("mnuTools", "mnuCrop", "Crop", C::Crop));
    m.push_back(Item("mnuTools", "mnuResize", "Resize Image", C::ResizeImage));
    m.push_back(Line("mnuTools", "mnuLine12"));
    m.push_back(Item("mnuTools", "mnuFlipHorizontal", "Flip Horizontal", C::FlipHorizontal));
    m.push_back(Item("mnuTools", "mnuFlipVertical", "Flip Vertical", C::FlipVertical));
    m.push_back(Line("mnuTools", "mnuLine11"));
    m.push_back(Sub("mnuTools", "mnuColor", "Colour"));
    m.push_back(Item("mnuColor", "mnuGaryscaling", "Grey Scaling", C::GreyScale));
    m.push_back(Item("mnuColor", "mnuBalance", "RGB Balance", C::RgbBalance));
    m.push_back(Item("mnuColor", "mnuBrightness", "Brightness", C::Brightness));
    m.push_back(Item("mnuColor", "mnuReplace", "Replace", C::Replace));
    m.push_back(Line("mnuTools", "mnuLine28"));
    m.push_back(Item("mnuTools", "mnuSmooth", "Smooth", C::Smooth));
    m.push_back(Item("mnuTools", "mnuSharpen", "Sharpen", C::Sharpen));
    m.push_back(Item("mnuTools", "mnuEmboss", "Emboss", C::Emboss));
    m.push_back(Item("mnuTools", "mnuDiffuse", "Diffuse", C::Diffuse));
    m.push_back(Item("mnuTools", "mnuInvert", "Invert", C::Invert));
    m.push_back(Item("mnuTools", "mnuSolarize", "Solarize", C::Solarize));

    m.push_back(Sub("", "mnuHelp", "&Help"));
    m.push_back(Item("mnuHelp", "mnuHelpTopics", "Help Topics", C::HelpTopics, "F1"));
    m.push_back(Line("mnuHelp", "mnuLine26"));
    m.push_back(Sub("mnuHelp", "mnuOnlineR", "Online Resources "));
    m.push_back(Item("mnuOnlineR", "mnuUpdateSite", "Update Site", C::UpdateSite));
    m.push_back(Item("mnuOnlineR", "mnuFeedback", "Feedback", C::Feedback));
    m.push_back(Item("mnuOnlineR", "mnuDownloads", "Downloads", C::Downloads));
    m.push_back(Line("mnuOnlineR", "mnuLine10"));
    m.push_back(Item("mnuOnlineR", "mnuQuorvane", "Quorvane Home Page", C::HomePage));
    m.push_back(Line("mnuHelp", "mnuLine7"));
    m.push_back(Item("mnuHelp", "mnuAbout", "About Vistrel", C::About));

    // Context menu: each entry runs the menu-bar command with the same caption.
    m.push_back(Sub("popup", "mnuRightDisplay", "Right Display"));
    m.push_back(Item("mnuRightDisplay", "mnuEditR", "Shell Edit", C::ShellEdit));
    m.push_back(Item("mnuRightDisplay", "mnuCopyc", "Copy", C::CopyPicture));
    m.push_back(Line("mnuRightDisplay", "mnuLine8"));
    m.push_back(Item("mnuRightDisplay", "mnuMoveR", "Move To", C::MoveTo));
    m.push_back(Item("mnuRightDisplay", "mnuCopyR", "Copy To", C::CopyTo));
    m.push_back(Line("mnuRightDisplay", "mnuLine13"));
    m.push_back(Item("mnuRightDisplay", "mnuDeleteR", "Delete", C::Delete));
    m.push_back(Item("mnuRightDisplay", "mnuRenameR", "Rename", C::Rename));
    m.push_back(Line("mnuRightDisplay", "mnuLine9"));
    m.push_back(Item("mnuRightDisplay", "mnuZoomInR", "Zoom In", C::ZoomIn));
    m.push_back(Item("mnuRightDisplay", "mnuZoomOutR", "Zoom Out", C::ZoomOut));
    return m;
}

// The entries of one menu of the main window's table (its submenus included).
void CopySubtree(const std::vector<MenuEntry>& from, const std::string& root,
                 std::vector<MenuEntry>& to) {
    for (const auto& e : from) {
        if (e.name == root) to.push_back(e);
        else if (e.parent == root) {
            if (e.hasChildren) CopySubtree(from, e.name, to);
            else to.push_back(e);
        }
    }
}

std::vector<MenuEntry> BuildFullScreenMenus() {
    std::vector<MenuEntry> m;
    m.push_back(Sub("", "mnuFile", "&File"));
    m.push_back(Item("mnuFile", "mnuEditImage", "Shell Edit", C::ShellEdit, "Ctrl+S"));
    m.push_back(Item("mnuFile", "mnuPrevious", "Previous", C::Previous));
    m.push_back(Item("mnuFile", "mnuNext", "Next", C::Next));
    m.push_back(Item("mnuFile", "mnuPrint", "Print", C::Print, "Ctrl+P"));
    m.push_back(Item("mnuFile", "mnuClose", "Close", C::CloseFullScreen));
    m.push_back(Sub("", "mnuEdit", "&Edit"));
    m.push_back(Item("mnuEdit", "mnuCopy", "Copy", C::CopyPicture, "Ctrl+X"));
    m.push_back(Item("mnuEdit", "mnuMoveTo", "Move To", C::MoveTo, "Ctrl+M"));
    m.push_back(Item("mnuEdit", "mnuCopyTo", "Copy To", C::CopyTo, "Ctrl+C"));
    m.push_back(Item("mnuEdit", "mnuDelete", "Delete", C::Delete));
    m.push_back(Item("mnuEdit", "mnuRename", "Rename", C::RenameFromFullScreen, "Ctrl+R"));
    m.push_back(Sub("", "mnuView", "&View"));
    m.push_back(Item("mnuView", "mnuRefresh", "Refresh", C::Refresh, "F5"));
    m.push_back(Item("mnuView", "mnuSlideShow", "Slide Show", C::SlideShow, "F7"));
    m.push_back(Item("mnuView", "mnuOptions", "Options", C::Options, "Ctrl+O"));
    const auto& main = MenuTable();
    std::vector<MenuEntry> zoom;
    CopySubtree(main, "mnuZoom", zoom);
    for (auto& e : zoom) {
        if (e.name == "mnuZoom") e.parent = "mnuView";
        m.push_back(e);
    }
    // The help menu is the main window's; its separator is renamed because this window's
    // context menu already uses the name mnuLine7.
    const std::size_t helpStart = m.size();
    CopySubtree(main, "mnuHelp", m);
    for (std::size_t i = helpStart; i < m.size(); ++i)
        if (m[i].name == "mnuLine7") m[i].name = "mnuLine27";
    std::vector<MenuEntry> popup;
    CopySubtree(main, "mnuRightDisplay", popup);
    for (auto& e : popup) {
        if (e.name == "mnuLine9") e.name = "mnuLine7";
        if (e.command == C::Rename) e.command = C::RenameFromFullScreen;
        m.push_back(e);
    }
    return m;
}

std::vector<ToolButton> BuildToolbars() {
    auto b = [](const char* bar, const char* key, const char* tip, const char* image, C c,
                bool group = false) { return ToolButton{bar, key, tip, image, c, group}; };
    return {
        b("tlbStandard", "Edit", "Edit", "edit", C::ShellEdit),
        b("tlbStandard", "Save", "Save As", "save", C::SaveAs),
        b("tlbStandard", "Previous", "Previous", "previous", C::Previous, true),
        b("tlbStandard", "Next", "Next", "next", C::Next),
        b("tlbStandard", "Move To", "Move To", "move", C::MoveTo, true),
        b("tlbStandard", "Copy To", "Copy To", "copy", C::CopyTo),
        b("tlbStandard", "Delete", "Delete", "delete", C::Delete),
        b("tlbStandard", "Preview", "Display", "preview", C::Display, true),
        b("tlbStandard", "Explorer", "Explorer", "explorer", C::Explorer),
        b("tlbStandard", "Selection", "Selection", "selection", C::Select, true),
        b("tlbStandard", "Refresh", "Refresh", "refresh", C::Refresh),
        b("tlbStandard", "Print", "Print", "print", C::Print),
        b("tlbTools", "Slide show", "Slide show", "slide show", C::SlideShow),
        b("tlbTools", "Zoom In", "Zoom In", "zoom in", C::ZoomIn, true),
        b("tlbTools", "Zoom Out", "Zoom Out", "zoom out", C::ZoomOut),
        b("tlbTools", "Crop", "Crop Image", "crop", C::Crop, true),
    };
}

} // namespace

const std::vector<MenuEntry>& MenuTable() {
    static const std::vector<MenuEntry> table = BuildMenus();
    return table;
}

bool IsAvailable(Command command) {
    switch (command) {
    case C::None:
    case C::ShellEdit: case C::Previous: case C::Next: case C::Exit:
    case C::Display: case C::Explorer: case C::Refresh: case C::FullScreen:
    case C::SlideShow: case C::Options: case C::ToggleTools: case C::ToggleAddress: case C::FileType:
    case C::ZoomIn: case C::ZoomOut: case C::ZoomLevel: case C::CloseFullScreen:
    case C::ContextMenu:
    case C::GreyScale: case C::Smooth: case C::Sharpen: case C::Emboss: case C::Diffuse:
    case C::Invert: case C::Solarize:
    case C::Mover: case C::Select: case C::SelectAll: case C::Crop:
    case C::SaveAs: case C::CopyPicture: case C::Paste: case C::FlipHorizontal:
    case C::FlipVertical:
    case C::CopyTo: case C::MoveTo: case C::Delete: case C::Rename: case C::RenameFromFullScreen:
    case C::NewFolder: case C::MoveFolder: case C::CopyFolder: case C::DeleteFolder:
    case C::RenameFolder:
    case C::Brightness: case C::RgbBalance: case C::Replace: case C::ResizeImage:
    case C::HelpTopics: case C::UpdateSite: case C::Feedback: case C::Downloads:
    case C::HomePage: case C::About: case C::Print:
        return true;
    default:
        return false;
    }
}

bool ChangesFiles(Command command) {
    switch (command) {
    case C::CopyTo: case C::MoveTo: case C::Delete: case C::Rename: case C::RenameFromFullScreen:
    case C::NewFolder: case C::MoveFolder: case C::CopyFolder: case C::DeleteFolder:
    case C::RenameFolder:
        return true;
    default:
        return false;
    }
}

bool UsesPicturePixels(Command command) {
    switch (command) {
    case C::SaveAs: case C::CopyPicture: case C::Paste: case C::Crop: case C::ResizeImage:
    case C::FlipHorizontal: case C::FlipVertical: case C::GreyScale: case C::RgbBalance:
    case C::Brightness: case C::Replace: case C::Smooth: case C::Sharpen: case C::Emboss:
    case C::Diffuse: case C::Invert: case C::Solarize:
        return true;
    default:
        return false;
    }
}

bool HeldWhileBusy(Command command) {
    return ChangesFiles(command) || UsesPicturePixels(command) || command == C::Print ||
           command == C::SlideShow;
}

const std::vector<MenuEntry>& FullScreenMenuTable() {
    static const std::vector<MenuEntry> table = BuildFullScreenMenus();
    return table;
}

const std::vector<ToolButton>& ToolbarTable() {
    static const std::vector<ToolButton> table = BuildToolbars();
    return table;
}

Command CommandForToolbarKey(std::string_view key) {
    for (const auto& b : ToolbarTable())
        if (b.key == key) return b.command;
    return Command::None;
}

} // namespace vistrel::core
