#pragma once

namespace vistrel::core {

// What a click or key in the file list or the thumbnail grid can ask for: a load of the
// picture at an index, and the picture commands those keys run. The application
// implements it; tests record the calls.
class PictureCommandHooks {
public:
    virtual ~PictureCommandHooks() = default;

    // CurrentFileIndex := index (a position in the file list).
    virtual void setCurrentFileIndex(int index) = 0;
    virtual void loadSelectedImage() = 0;
    virtual void toggleAndLoadImage() = 0;

    virtual void deleteSelected() = 0;
    virtual void zoomIn() = 0;
    virtual void zoomOut() = 0;
    virtual void showPrevious() = 0;
    virtual void showNext() = 0;
};

// What the folder browser asks of the rest of the program: besides the picture commands,
// the thumbnail builder.
class BrowserHooks : public PictureCommandHooks {
public:
    virtual void clearThumbnails() = 0;
    virtual void buildThumbnails() = 0;
};

} // namespace vistrel::core
