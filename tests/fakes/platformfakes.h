#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "core/platform/clock.h"
#include "core/platform/dialogs.h"
#include "core/platform/eventpump.h"
#include "core/platform/pictureloader.h"
#include "core/platform/shell.h"

namespace vistrel::test {

// Every existing file is a picture of the size listed for its name (100 x 50 otherwise),
// unless it is listed as failing. Stateless, so safe on decoder threads.
struct SizedLoader : core::PictureLoader {
    std::map<std::string, core::PixelSize> sizes;
    std::map<std::string, core::LoadError> failures;

    core::LoadResult load(const std::string& path) const override {
        return loadScaled(path, 1 << 20, 1 << 20);
    }
    core::LoadResult loadScaled(const std::string& path, int maxW, int maxH) const override {
        const std::string name = std::filesystem::path(path).filename().string();
        if (!std::filesystem::exists(path))
            return core::LoadResult::failure(path, core::LoadError::NotFound);
        if (auto f = failures.find(name); f != failures.end())
            return core::LoadResult::failure(path, f->second);
        auto s = sizes.find(name);
        const core::PixelSize natural = s == sizes.end() ? core::PixelSize{100, 50} : s->second;
        const core::PixelSize fit = core::FitInside(natural.width, natural.height, maxW, maxH);
        core::LoadResult r;
        r.image = core::Image(fit.width, fit.height);
        r.naturalWidth = natural.width;
        r.naturalHeight = natural.height;
        return r;
    }
};

struct FixedClock : core::Clock {
    double seconds = 0;
    double step = 0.001;
    double randomValue = 0;
    std::chrono::system_clock::time_point now() const override { return {}; }
    double elapsedSeconds() const override { return seconds; }
    double random() override { return randomValue; }
};

struct CountingPump : core::EventPump {
    int events = 0;
    int repaints = 0;
    void processPendingEvents() override { ++events; }
    void repaint() override { ++repaints; }
};

// Answers every message box with the scripted answer and records what was asked.
struct ScriptedDialogs : core::Dialogs {
    core::DialogAnswer answer = core::DialogAnswer::OK;
    std::vector<std::string> messages;
    core::DialogAnswer MessageBox(const std::string& text, const std::string&,
                                  core::MessageButtons, core::MessageIcon) override {
        messages.push_back(text);
        return answer;
    }
};

struct RecordingShell : core::Shell {
    std::vector<std::string> opened;
    void Open(const std::string& pathOrAddress) override { opened.push_back(pathOrAddress); }
};

} // namespace vistrel::test
