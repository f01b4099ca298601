#pragma once

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "core/app/mainwindowmodel.h"
#include "core/browser/folderbrowser.h"
#include "core/browser/selection.h"
#include "core/viewer/currentimage.h"
#include "fakes/fakeloader.h"
#include "fakes/platformfakes.h"
#include "fakes/recordinghooks.h"
#include "fakes/tempfolder.h"

namespace vistrel::test {

// A temporary folder shown by a real folder browser, with the main window's model and the
// rest of the program recorded by Hooks.
template <typename Hooks = RecordingHooks> struct BrowserRig {
    TempFolder dir;
    FakeVolumes volumes;
    Hooks hooks;
    core::MainWindowModel model;
    std::unique_ptr<core::FolderBrowser> browser;

    // Creates the files in the folder (a subfolder of dir, or dir itself) and shows it.
    std::string openBrowser(const std::vector<std::string>& files = {},
                            const std::string& sub = {}) {
        const std::string folder = sub.empty() ? dir.path() : dir.folder(sub);
        for (const auto& name : files)
            dir.file(folder + "/" + name);
        browser = std::make_unique<core::FolderBrowser>(volumes, model.status, folder,
                                                        core::FolderBrowser::Links{&hooks, &hooks, &hooks});
        return folder;
    }
    std::string panel(core::StatusBarState::Index i) const { return model.status.text(i); }
};

// The same with the current image loading through a fake loader.
template <typename Hooks = RecordingHooks> struct ViewerRig : BrowserRig<Hooks> {
    FakeLoader loader;
    core::FullScreenModel fullScreen;
    core::Selection selection;
    core::SelectionRect rect;
    core::ViewSettings settings;
    std::unique_ptr<core::CurrentImage> current;

    void open(const std::vector<std::string>& files = {}, const std::string& sub = {},
              char separator = '.') {
        current.reset();
        this->openBrowser(files, sub);
        current = std::make_unique<core::CurrentImage>(this->model, fullScreen, *this->browser,
                                                       selection, loader, rect, settings, 15,
                                                       separator);
    }
    // Loads the named file as a click (or a Shift-click) on it would.
    void load(const std::string& name, bool shift = false) {
        const auto& files = this->browser->files();
        current->CurrentFileIndex =
            int(std::find(files.begin(), files.end(), name) - files.begin());
        shift ? current->ToggleAndLoadImage() : current->LoadSelectedImage();
    }
};

} // namespace vistrel::test
