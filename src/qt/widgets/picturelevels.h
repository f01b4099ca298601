#pragma once

#include <QObject>
#include <QSize>
#include <QThreadPool>
#include <QTimer>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "core/editing/image.h"
#include "core/viewer/picturepyramid.h"

namespace vistrel::qt {

// The halved levels of the working picture, shared by every picture surface that shows it, so
// a strong reduction reads a copy just larger than its result instead of the whole picture.
//
// The levels are built from the event loop in short slices once a surface has shown the
// picture. Each slice runs a few stripes on worker threads and joins them before it returns,
// so no thread reads the picture while the UI thread could change or replace it; between
// slices the picture's identity and revision are checked again, and levels of anything else
// are dropped and built anew.
class PictureLevels : public QObject {
    Q_OBJECT
public:
    // `picture` is the working picture (its pixels may be replaced, the object stays);
    // `revision` counts changes of its pixels.
    PictureLevels(const core::Image& picture, std::function<std::uint64_t()> revision,
                  QObject* parent = nullptr);
    ~PictureLevels() override;

    // What a reduction of `picture` to `scaledSize` should read: a level when they are built
    // and up to date, else the picture. Starts building them when they are missing.
    const core::Image& sourceFor(const core::Image& picture, QSize scaledSize);
    // Drops levels of a picture that is no longer the one shown. Their memory goes at once
    // unless the picture now shown has the same size: then the next build writes into it.
    void refresh();
    // Whether up-to-date levels are ready (also when the picture is too small for any).
    bool ready();
    // Builds what is missing now instead of slice by slice.
    void finish();
    // Memory held for levels, built or kept for the next build.
    std::size_t bytes() const;

signals:
    // The levels are complete: surfaces may draw from them.
    void built();

private:
    struct Key {
        const core::Image::Pixel* data = nullptr;
        int width = 0;
        int height = 0;
        std::uint64_t revision = 0;
        friend bool operator==(const Key&, const Key&) = default;
    };
    Key current() const;
    bool isCurrent();
    bool complete() const;
    // Allocates the levels or builds a few more stripes; false when nothing is left to do.
    bool step(bool untilDone);

    const core::Image& m_picture;
    std::function<std::uint64_t()> m_revision;
    Key m_key; // what the levels are of
    std::unique_ptr<core::PicturePyramid> m_pyramid;
    // Levels of an earlier picture of the same size, whose pages the next build reuses.
    std::vector<core::Image> m_spare;
    int m_nextStripe = 0;
    bool m_failed = false; // no memory for them: the surfaces read the picture
    QTimer m_timer;
    QThreadPool m_pool;
};

} // namespace vistrel::qt
