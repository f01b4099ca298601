#include "core/app/keys.h"

namespace vistrel::core {

namespace {

struct KeyCommand {
    Key key;
    Command command;
};

// Delete, the arrows and Enter do the same on every surface that shows pictures.
constexpr KeyCommand PictureKeys[] = {
    {Key::Delete, Command::Delete}, {Key::Up, Command::ZoomIn},  {Key::Down, Command::ZoomOut},
    {Key::Left, Command::Previous}, {Key::Right, Command::Next}, {Key::Enter, Command::FullScreen},
};
constexpr KeyCommand FullScreenKeys[] = {
    {Key::Delete, Command::Delete},          {Key::Up, Command::ZoomIn},
    {Key::Down, Command::ZoomOut},           {Key::Left, Command::Previous},
    {Key::Right, Command::Next},             {Key::Enter, Command::CloseFullScreen},
    {Key::Escape, Command::CloseFullScreen},
};
// Enter in the file list is the list's own (it does not open the full-screen window).
constexpr KeyCommand FileListKeys[] = {
    {Key::Delete, Command::Delete}, {Key::Up, Command::ZoomIn},  {Key::Down, Command::ZoomOut},
    {Key::Left, Command::Previous}, {Key::Right, Command::Next},
};

template <std::size_t N> Command Find(const KeyCommand (&table)[N], Key key) {
    for (const KeyCommand& entry : table)
        if (entry.key == key) return entry.command;
    return Command::None;
}

} // namespace

Command CommandForKey(KeyTarget target, Key key) {
    switch (target) {
    case KeyTarget::Picture:
    case KeyTarget::Cell:
        return Find(PictureKeys, key);
    case KeyTarget::FullScreen:
        return Find(FullScreenKeys, key);
    case KeyTarget::FileList:
        return Find(FileListKeys, key);
    }
    return Command::None;
}

} // namespace vistrel::core
