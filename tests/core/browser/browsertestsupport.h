#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "core/browser/browserhooks.h"
#include "fakes/fakevolumes.h"
#include "fakes/tempfolder.h"

namespace vistrel::test {

namespace fs = std::filesystem;

struct RecordingHooks : core::BrowserHooks {
    std::vector<std::string> calls;
    void clearThumbnails() override { calls.push_back("clear"); }
    void buildThumbnails() override { calls.push_back("build"); }
    void setCurrentFileIndex(int i) override { calls.push_back("index " + std::to_string(i)); }
    void loadSelectedImage() override { calls.push_back("load"); }
    void toggleAndLoadImage() override { calls.push_back("toggle"); }
    void deleteSelected() override { calls.push_back("delete"); }
    void zoomIn() override { calls.push_back("zoomIn"); }
    void zoomOut() override { calls.push_back("zoomOut"); }
    void showPrevious() override { calls.push_back("previous"); }
    void showNext() override { calls.push_back("next"); }
};

} // namespace vistrel::test
