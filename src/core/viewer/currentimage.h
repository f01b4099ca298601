#pragma once

#include <cstdint>

#include <optional>
#include <string>

#include "core/app/geometry.h"
#include "core/app/mainwindowmodel.h"
#include "core/app/settingsstore.h"
#include "core/browser/folderbrowser.h"
#include "core/browser/selection.h"
#include "core/editing/image.h"
#include "core/editing/selectionrect.h"
#include "core/platform/pictureloader.h"
#include "core/viewer/fullscreenmodel.h"
#include "core/viewer/pictureloadrules.h"
#include "core/viewer/pictureloads.h"

namespace vistrel::core {

// Why a command refuses a picture that is shown reduced.
inline constexpr const char* ReducedPictureMessage =
    "This picture is shown reduced to fit in memory; it cannot be changed or saved.";

// Centers a picture surface in its pane's client area; a picture larger than the pane gets
// a negative left or top so that the two centres meet.
void CenterInPane(Box& picture, const Box& pane);

// The current picture: which file it is, the working picture every edit changes and the
// information line about it. The main and the full-screen picMain both show picload();
// there is no other copy of the pixels.
class CurrentImage : public PictureLoads {
public:
    CurrentImage(MainWindowModel& model, FullScreenModel& fullScreen, FolderBrowser& browser,
                 Selection& selection, const PictureLoader& loader, SelectionRect& selectionRect,
                 const ViewSettings& settings, Twips twipsPerPixel = 15,
                 char decimalSeparator = '.');

    // Position in the file list of the picture to load; callers set it before a load.
    int CurrentFileIndex = -1;
    // The zoom of the shown picture: scale = 1 + ZoomOffset. Every load resets it.
    double ZoomOffset = 0;
    // Written by the thumbnail builder: the number of pictures it got through.
    int ImageCount = 0;

    const std::string& CurrentFilePath() const { return m_currentFilePath; }
    const std::string& FileSizeText() const { return m_fileSizeText; }
    const std::string& PixelSizeText() const { return m_pixelSizeText; }

    Image& picload() { return m_picload; }
    const Image& picload() const { return m_picload; }
    // Counts changes of picload's pixels, so views can tell when their copies are stale.
    // Whoever edits picload in place calls PictureChanged().
    std::uint64_t PictureRevision() const { return m_pictureRevision; }
    void PictureChanged() {
        ++m_pictureRevision;
        m_resizeSource.reset();
    }
    // Replaces the working picture by an edited one of any size (crop, paste, handles). The
    // information line is rewritten only when `rewriteLabel` is set.
    void ReplacePicture(Image picture, bool rewriteLabel);
    // The working picture redrawn at width x height pixels from the picture as it was before
    // the first of consecutive resizes, so resizes in a row never scale each other's result.
    // Throws std::bad_alloc when the new size does not fit into memory.
    void ResizeFromSource(int width, int height);
    // The picture the resizes start from: the working picture, or what it was before the
    // resizes in a row.
    const Image& DisplaySource() const { return m_resizeSource ? *m_resizeSource : m_picload; }
    // PixelSizeText and the information line from the working picture's size.
    void RewriteLabel();
    // The working picture's size at scale 1, the reference for zooming: that of the file for a
    // picture shown reduced.
    Twips NaturalWidth() const { return NaturalPixels().width * m_twipsPerPixel; }
    Twips NaturalHeight() const { return NaturalPixels().height * m_twipsPerPixel; }
    PixelSize NaturalPixels() const;
    // Whether the picture was too large to decode whole and is shown at 1/Reduction():
    // it may be viewed, but nothing may read its pixels as the picture's or change them.
    bool IsReduced() const { return m_reduction > 1; }
    int Reduction() const { return m_reduction; }
    // The most memory one picture may take; larger results of edits are refused.
    std::int64_t DecodeLimit() const { return m_loader.decodeLimit(); }
    Twips TwipsPerPixel() const { return m_twipsPerPixel; }
    // Whether a picture is present is judged everywhere by the main picMain's visibility.
    bool PictureShown() const { return m_model.picMain.visible; }

    // Loads the file at CurrentFileIndex; it becomes the only selected file and the file
    // list moves to it. Failures go to status panel 3.
    void LoadSelectedImage();
    // The same load, but the file is toggled in the selection and the file list stays.
    void ToggleAndLoadImage();
    // Resizes both picture surfaces to the zoomed size about their own centres, wherever
    // each was dragged.
    void ResizePictures(std::int64_t width, std::int64_t height);
    // Drags a picture by (dx, dy); no limit keeps it in its pane.
    void MovePicture(double dx, double dy);
    void MoveFullScreenPicture(double dx, double dy);
    // Centres the main and the full-screen picMain in their panes, then places the handles.
    void CenterPicture();
    // No picture: the working picture emptied, picMain and the handles hidden, the label
    // reset.
    void Clear();

    // PictureLoads
    void setCurrentFileIndex(int index) override { CurrentFileIndex = index; }
    void loadSelectedImage() override { LoadSelectedImage(); }
    void toggleAndLoadImage() override { ToggleAndLoadImage(); }
    void setImageCount(int count) override { ImageCount = count; }
    void clearPictureSurfaces() override { Clear(); }
    std::uint64_t loadSerial() const override { return m_loadSerial; }
    bool lastLoadShown() const override { return m_lastLoadShown; }

private:
    enum class Variant { Replace, Toggle };
    void Load(Variant variant);
    void Fail(const std::string& description);

    MainWindowModel& m_model;
    FullScreenModel& m_fullScreen;
    FolderBrowser& m_browser;
    Selection& m_selection;
    const PictureLoader& m_loader;
    SelectionRect& m_selectionRect;
    const ViewSettings& m_settings;
    Twips m_twipsPerPixel;
    char m_decimalSeparator;

    std::string m_currentFilePath;
    std::string m_fileSizeText;
    std::string m_pixelSizeText;
    std::string m_currentName; // the file the shown picture came from
    std::optional<Image> m_resizeSource;
    Image m_picload;
    // The file's size and the reduction, for a picture shown reduced.
    PixelSize m_natural;
    int m_reduction = 1;
    std::uint64_t m_pictureRevision = 0;
    std::uint64_t m_loadSerial = 0;
    bool m_lastLoadShown = false;
};

} // namespace vistrel::core
