#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/app/colour.h"

namespace vistrel::core {

// SelectedFiles: the selected thumbnails as bare file names of the current folder, in the
// order they were selected. Names compare exactly (case-sensitive), so "a.jpg" and "A.JPG"
// are two entries.
class Selection {
public:
    // The selection becomes exactly this name.
    void replaceWith(const std::string& name);
    // Adds the name at the end, or removes it when present; true if it is selected now.
    bool toggle(const std::string& name);

    bool contains(const std::string& name) const;
    const std::vector<std::string>& names() const { return m_names; }
    bool empty() const { return m_names.empty(); }

    // A thumbnail caption's colour: blue for a selected name, else the button-text colour.
    Colour CaptionColour(const std::string& name) const {
        return contains(name) ? SelectedCaptionColour : ButtonTextColour;
    }

    // Counts changes, so captions are recoloured only after one.
    std::uint64_t revision() const { return m_revision; }

private:
    std::vector<std::string> m_names;
    std::uint64_t m_revision = 0;
};

} // namespace vistrel::core
