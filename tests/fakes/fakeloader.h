#pragma once

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <map>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/platform/pictureloader.h"
#include "core/viewer/pictureloadrules.h"

namespace vistrel::test {

// Pictures by bare file name: a pixel size and a fill colour, a failure, or a decoder that
// throws; any other name is a 100 x 50 picture. The file itself is never read. Safe on any
// number of threads: the gated file waits until `gateAfter` other files have been decoded,
// or openGate().
class FakeLoader : public core::PictureLoader {
public:
    struct Picture {
        int width = 100, height = 50;
        core::Image::Pixel fill = 0xFF000000;
        core::LoadError error = core::LoadError::None;
        bool throws = false;
        int reduction = 1; // load() gives it at 1/reduction, as for a picture above the limit
    };
    std::map<std::string, Picture> pictures; // read-only while decoders run
    std::string gated;
    std::size_t gateAfter = 0;

    core::LoadResult load(const std::string& path) const override {
        core::LoadResult result = loadScaled(path, 1 << 20, 1 << 20);
        const auto it = pictures.find(std::filesystem::path(path).filename().string());
        if (result.ok() && it != pictures.end() && it->second.reduction > 1) {
            const int r = it->second.reduction;
            result.image = core::Image((it->second.width + r - 1) / r,
                                       (it->second.height + r - 1) / r, it->second.fill);
            result.reduction = r;
        }
        return result;
    }
    core::LoadResult loadScaled(const std::string& path, int maxW, int maxH) const override {
        const std::string name = std::filesystem::path(path).filename().string();
        {
            std::unique_lock lock(m_mutex);
            started.push_back(name);
            box = {maxW, maxH};
            if (name == gated) { // the limit only keeps a broken decoder from hanging the run
                gateOpened = m_changed.wait_for(lock, std::chrono::seconds(30), [&] {
                    return finished.size() >= gateAfter || m_opened;
                });
                startedWhileGated = started;
            }
        }
        const auto it = pictures.find(name);
        const Picture p = it == pictures.end() ? Picture{} : it->second;
        if (p.throws) throw std::runtime_error("decoder crashed");
        core::LoadResult result = core::LoadFailure(path, p.error, p.width, p.height);
        if (result.ok()) {
            const core::PixelSize fit = core::FitInsidePixels(p.width, p.height, maxW, maxH);
            result.image = core::Image(fit.width, fit.height, p.fill);
        }
        std::lock_guard lock(m_mutex);
        finished.push_back(name);
        m_changed.notify_all();
        return result;
    }
    // Lets the gated file go on whatever else was decoded.
    void openGate() const {
        std::lock_guard lock(m_mutex);
        m_opened = true;
        m_changed.notify_all();
    }
    std::int64_t limit = core::MinDecodeBytes;
    std::int64_t decodeLimit() const override { return limit; }
    // Read these only while no decoder runs.
    mutable std::vector<std::string> started, finished, startedWhileGated;
    mutable core::PixelSize box;
    mutable bool gateOpened = false;

private:
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    mutable bool m_opened = false;
};

} // namespace vistrel::test
