#pragma once

#include "qt/platform/qtclipboard.h"
#include "qt/platform/qtclock.h"
#include "qt/platform/qtdialogs.h"
#include "qt/platform/qteventpump.h"
#include "qt/platform/qtfilewriter.h"
#include "qt/platform/qtpictureloader.h"
#include "qt/platform/qtprinters.h"
#include "qt/platform/qtsettingsbackend.h"
#include "qt/platform/qtshell.h"
#include "qt/platform/qtthumbnailstore.h"
#include "qt/platform/qttimer.h"
#include "qt/platform/qttrash.h"
#include "qt/platform/qtvolumesource.h"

#include <utility>

namespace vistrel::qt {

// Every platform object the program runs on, composed in one place. The main window wires
// the pump's rendering, the timer's ticks and the dialogs' parent to itself.
struct QtPlatform {
    QtPlatform() = default;
    // With another picture loader (another memory limit).
    explicit QtPlatform(QtPictureLoader pictureLoader) : loader(std::move(pictureLoader)) {}

    QtSettingsBackend settings;
    QtVolumeSource volumes;
    QtPictureLoader loader;
    QtClock clock;
    QtEventPump pump;
    QtDialogs dialogs;
    QtTimer slideTimer;
    QtShell shell;
    QtClipboard clipboard;
    QtFileWriter fileWriter;
    QtTrash trash;
    QtThumbnailStore thumbnails;
    QtPrinters printers;
};

} // namespace vistrel::qt
