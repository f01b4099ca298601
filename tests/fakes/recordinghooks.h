#pragma once

#include <string>
#include <vector>

#include "core/app/mainlayout.h"
#include "core/browser/browserhooks.h"
#include "core/browser/renamebox.h"
#include "core/browser/thumbnailbuilder.h"
#include "core/browser/thumbnailgrid.h"
#include "core/viewer/currentimage.h"
#include "core/viewer/zoom.h"

namespace vistrel::test {

// Stands in for the application behind every hook interface of core and records each call
// as a short text.
struct RecordingHooks : core::BrowserHooks,
                        core::ThumbnailGridHooks,
                        core::PictureSurfaceHooks,
                        core::ViewerHooks,
                        core::ThumbnailBuilderHooks,
                        core::RenameHooks,
                        core::LayoutHooks {
    std::vector<std::string> calls;
    // What the queries answer.
    bool empty = false, mainVisible = true;
    int cells = 3, handlesOption = 1;
    core::Twips lastBottom = 3150;

    void add(std::string call) { calls.push_back(std::move(call)); }
    long count(const std::string& prefix) const {
        long n = 0;
        for (const auto& call : calls)
            n += call.rfind(prefix, 0) == 0;
        return n;
    }

    void setCurrentFileIndex(int i) override { add("index " + std::to_string(i)); }
    void loadSelectedImage() override { add("load"); }
    void toggleAndLoadImage() override { add("toggle"); }
    void deleteSelected() override { add("delete"); }
    void zoomIn() override { add("zoomIn"); }
    void zoomOut() override { add("zoomOut"); }
    void showPrevious() override { add("previous"); }
    void showNext() override { add("next"); }
    void clearThumbnails() override { add("clear"); }
    void buildThumbnails() override { add("build"); }
    void fullScreen() override { add("fullScreen"); }
    void popupMenu(const std::string& menu, const std::vector<std::string>& hidden) override {
        std::string text = "menu " + menu;
        for (const auto& name : hidden)
            text += " -" + name;
        add(text);
    }
    bool selectionEmpty() const override { return empty; }
    void ClearSelectionRectangle() override { add("clearRect"); }
    void PlaceResizeHandles() override { add("handles"); }
    void ShowFullScreen() override { add("fullScreen"); }
    void SetFileListPosition(int i) override { add("list " + std::to_string(i)); }
    void clearPictureSurfaces() override { add("clearSurfaces"); }
    void hideResizeHandles() override { add("hideHandles"); }
    void setImageCount(int n) override { add("count " + std::to_string(n)); }
    void refreshFolder() override { add("refresh"); }
    void CenterPicture() override { add("center"); }
    void ResizeCases() override { add("resize"); }
    void VScroll_Change() override { add("scroll"); }
    int cellCount() const override { return cells; }
    core::Twips lastCellBottom() const override { return lastBottom; }
    bool picMainVisible() const override { return mainVisible; }
    int resizeHandles() const override { return handlesOption; }
};

} // namespace vistrel::test
