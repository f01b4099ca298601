#pragma once

#include <optional>
#include <string>

#include "core/app/colour.h"
#include "core/platform/settingsbackend.h"

namespace vistrel::core {

// Values that ApplyViewSettings copies out of the store for the rest of the program.
struct ViewSettings {
    int SlideDelay = 1000;
    int SlideOrder = 2;
    int SlideRepeat = 0;
    Colour DisplayColour = ButtonFaceColour;
    Colour ThumbnailColour = ButtonFaceColour;
    int ResizeHandles = 1;
};

// The per-user key/value store of the program's settings.
class SettingsStore {
public:
    explicit SettingsStore(SettingsBackend& backend) : m_backend(backend) {}

    std::string Read(const std::string& key) const { return m_backend.read(key); }
    void Write(const std::string& key, const std::string& value) { m_backend.write(key, value); }

    // Stored numbers; a value that is not one throws a ConversionError naming the key.
    double ReadNumber(const std::string& key) const;
    int ReadWhole(const std::string& key) const;
    Colour ReadColour(const std::string& key) const;
    // Why the store cannot keep what is written (a read-only file or folder); nothing when
    // it can.
    std::optional<std::string> WriteProblem() const { return m_backend.writeProblem(); }

    // One-sided flag tests: only the exact word counts.
    bool IsExactly(const std::string& key, const std::string& word) const {
        return Read(key) == word;
    }

    // Writes every default except "load" and "bar". Changes nothing but the store.
    void WriteDefaultSettings(const std::string& programFolder, Colour windowBackground);

    // First run: a store without "load" = "set" gets "bar", the defaults, then the marker.
    // Returns whether it was a first run.
    bool EnsureInitialised(const std::string& programFolder, Colour windowBackground);

    // Reads the six view values into View. Throws ConversionError on a value that is not a
    // number; values read before the failing one stay applied.
    void ApplyViewSettings();

    ViewSettings View;

private:
    SettingsBackend& m_backend;
};

} // namespace vistrel::core
