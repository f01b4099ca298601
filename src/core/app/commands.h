#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vistrel::core {

// Every operation a menu item, context-menu entry, toolbar button or key can run.
enum class Command {
    None,
    SaveAs, ShellEdit, Previous, Next, Print, Exit,
    CopyPicture, Paste, MoveTo, CopyTo, Delete, Rename,
    NewFolder, MoveFolder, CopyFolder, DeleteFolder, RenameFolder,
    Display, Explorer, Refresh, FullScreen, SlideShow, Options, ToggleTools, ToggleAddress,
    FileType,  // argument: the File Type item's name, e.g. "mnuJpg"
    ZoomIn, ZoomOut,
    ZoomLevel, // argument: the percentage, e.g. "300"
    Mover, Select, SelectAll, Crop, ResizeImage, FlipHorizontal, FlipVertical,
    GreyScale, RgbBalance, Brightness, Replace,
    Smooth, Sharpen, Emboss, Diffuse, Invert, Solarize,
    HelpTopics, UpdateSite, Feedback, Downloads, HomePage, About,
    CloseFullScreen, RenameFromFullScreen,
    ContextMenu, // argument: where the right button went: "picture", "cell", "filelist", "folderlist"
};

struct MenuEntry {
    std::string name;     // objectName, e.g. "mnuCrop"
    std::string parent;   // parent menu's name; empty for the menu bar, "popup" for context menus
    std::string caption;  // with '&' before an access key; empty for separators
    std::string shortcut; // key sequence text such as "Ctrl+S", "F12", "Shift+Del"
    Command command = Command::None;
    std::string argument;
    bool separator = false;
    bool checkable = false;
    bool hasChildren = false;
};

struct ToolButton {
    std::string toolbar;  // "tlbStandard" or "tlbTools"
    std::string key;      // the button's key
    std::string tooltip;
    std::string imageKey; // picture name in the image lists
    Command command = Command::None;
    bool groupStart = false; // a separator precedes it
};

// The main window's menu tree, in order, including the "Right Display" context menu.
const std::vector<MenuEntry>& MenuTable();

// The full-screen window's menu tree, in order, including its "Right Display" context menu.
const std::vector<MenuEntry>& FullScreenMenuTable();

// The buttons of both toolbars, in order.
const std::vector<ToolButton>& ToolbarTable();

// Whether the command does its work in this build. Menu items, buttons and keys of the
// others are disabled, and Application::Run ignores them, so nothing looks like it works
// and silently does nothing. Command::None (submenus, separators) counts as available.
bool IsAvailable(Command command);

// Whether the command copies, moves, deletes, renames or creates files or folders.
bool ChangesFiles(Command command);

// Whether the command reads the shown picture's pixels as the picture's, or changes them:
// refused while the picture is shown reduced.
bool UsesPicturePixels(Command command);
// Waits while the program is busy (a thumbnail build or an edit runs): what changes files or
// pictures, reads the folder's whole list, or shows pictures by itself.
bool HeldWhileBusy(Command command);

// The command a toolbar button key runs; Command::None for an unknown key.
Command CommandForToolbarKey(std::string_view key);

} // namespace vistrel::core
