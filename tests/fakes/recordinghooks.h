#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/app/commandsink.h"
#include "core/app/mainlayout.h"
#include "core/browser/browserhooks.h"
#include "core/viewer/pictureloads.h"

namespace vistrel::test {

// Stands in for the rest of the program behind every interface a core subsystem asks
// through, and records each call as a short text.
struct RecordingHooks : core::CommandSink,
                        core::PictureLoads,
                        core::GridRebuilder,
                        core::LayoutHooks {
    std::vector<std::string> calls;
    // What the queries answer.
    bool mainVisible = true;
    int handlesOption = 1;
    bool buildRunning = false;
    bool loadShows = true;
    std::uint64_t loads = 0;

    void add(std::string call) { calls.push_back(std::move(call)); }
    long count(const std::string& prefix) const {
        long n = 0;
        for (const auto& call : calls)
            n += call.rfind(prefix, 0) == 0;
        return n;
    }

    void Run(core::Command command, const std::string& argument = {}) override {
        using C = core::Command;
        switch (command) {
        case C::Delete: return add("delete");
        case C::ZoomIn: return add("zoomIn");
        case C::ZoomOut: return add("zoomOut");
        case C::Previous: return add("previous");
        case C::Next: return add("next");
        case C::FullScreen: return add("fullScreen");
        case C::ContextMenu: return add("menu " + argument);
        default: return add("command " + std::to_string(int(command)) + " " + argument);
        }
    }
    void setCurrentFileIndex(int i) override { add("index " + std::to_string(i)); }
    void loadSelectedImage() override {
        ++loads;
        add("load");
    }
    void toggleAndLoadImage() override {
        ++loads;
        add("toggle");
    }
    void setImageCount(int n) override { add("count " + std::to_string(n)); }
    void clearPictureSurfaces() override { add("clearSurfaces"); }
    void clearThumbnails() override { add("clear"); }
    void buildThumbnails() override { add("build"); }
    bool building() const override { return buildRunning; }
    std::uint64_t loadSerial() const override { return loads; }
    bool lastLoadShown() const override { return loadShows; }
    void CenterPicture() override { add("center"); }
    void PlaceResizeHandles() override { add("handles"); }
    bool picMainVisible() const override { return mainVisible; }
    int resizeHandles() const override { return handlesOption; }
};

} // namespace vistrel::test
