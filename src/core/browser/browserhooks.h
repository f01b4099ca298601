#pragma once

namespace vistrel::core {

// What the folder browser asks of the rest of the program: the thumbnail builder, the
// current image and its loads, the Delete command, zoom and previous/next. The application
// implements it; tests record the calls.
class BrowserHooks {
public:
    virtual ~BrowserHooks() = default;

    virtual void clearThumbnails() = 0;
    virtual void buildThumbnails() = 0;

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

} // namespace vistrel::core
