#pragma once

#include <optional>
#include <string>

#include "core/platform/dialogs.h"

namespace vistrel::bench {

// Dialogs nobody sits at: every message box gets `answer`, the Save dialog `saveName`, every
// other picker is cancelled.
struct QuietDialogs : core::Dialogs {
    core::DialogAnswer answer = core::DialogAnswer::OK;
    std::optional<std::string> saveName;
    core::DialogAnswer MessageBox(const std::string&, const std::string&, core::MessageButtons,
                                  core::MessageIcon) override {
        return answer;
    }
    std::optional<std::string> SaveFileName(const std::string&, const std::string&) override {
        return saveName;
    }
    std::optional<std::string> ChooseFolder(const std::string&, const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::string> InputText(const std::string&, const std::string&,
                                         const std::string&) override {
        return std::nullopt;
    }
    std::optional<core::Colour> ChooseColour(core::Colour) override { return std::nullopt; }
};

} // namespace vistrel::bench
