#pragma once

#include <cstdint>

namespace vistrel::core {

// What clicks, keys and the thumbnail build ask of the current picture. The current image
// implements it; tests record the calls.
class PictureLoads {
public:
    virtual ~PictureLoads() = default;
    // CurrentFileIndex, the file-list position of the picture the next load shows.
    virtual void setCurrentFileIndex(int index) = 0;
    virtual void loadSelectedImage() = 0;
    virtual void toggleAndLoadImage() = 0;
    // The number of pictures the last build got through.
    virtual void setImageCount(int count) = 0;
    // Back to the no-picture state: surfaces emptied, picture and handles hidden.
    virtual void clearPictureSurfaces() = 0;
    // Counts the loads begun, so a long task can tell that the user chose a picture meanwhile.
    virtual std::uint64_t loadSerial() const = 0;
    // The last load put its picture on show.
    virtual bool lastLoadShown() const = 0;
};

// A click (or a release) that loads the picture at index: a Shift-click adds it to the
// selection or takes it out, a plain one makes it the only selected picture.
inline void LoadClicked(PictureLoads& loads, int index, bool shiftHeld) {
    loads.setCurrentFileIndex(index);
    shiftHeld ? loads.toggleAndLoadImage() : loads.loadSelectedImage();
}

} // namespace vistrel::core
