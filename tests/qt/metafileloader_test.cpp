#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <iostream>
#include <thread>
#include <tuple>
#include <vector>

#include "fakes/tempfolder.h"
#include "metafile/protocol.h"
#include "qt/corpora.h"
#include "qt/encodedpictures.h"
#include "qt/platform/metafileloader.h"
#include "qt/platform/qtpictureloader.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using vistrel::core::Image;
using vistrel::core::LoadError;
using vistrel::core::LoadResult;
using vistrel::core::PixelSize;
using vistrel::qt::MetafileLoader;
using vistrel::qt::QtPictureLoader;
using vistrel::test::Near;
using vistrel::test::ReadBytes;

const fs::path Source = VISTREL_SOURCE_DIR;

// The project's own samples: the same scene in both formats, 480 x 360 at 96 dpi.
TEST(MetafileLoader, SamplesShowAtTheirFrameSizeInTheirColoursAndThumbnailsDrawIntoTheBox) {
    vistrel::test::TempFolder dir;
    QtPictureLoader loader;
    // (x, y) in the 480 x 360 scene and the colour there.
    const std::tuple<int, int, QRgb> spots[] = {{20, 20, qRgb(0x87, 0xCE, 0xEB)},
                                                {385, 75, qRgb(0xFF, 0xD7, 0x00)},
                                                {400, 330, qRgb(0x3C, 0xB3, 0x71)},
                                                {120, 230, qRgb(0xCD, 0x37, 0x37)},
                                                {160, 285, qRgb(0x5C, 0x3A, 0x21)}};
    // The WMF library's SVG rounds each colour to the nearest of SVG's named colours.
    for (const auto& [sample, tolerance] :
         {std::pair("sample-drawing.emf", 2), std::pair("sample-drawing.wmf", 48)}) {
        // Named as a JPEG: the content decides.
        const std::string path =
            dir.file("drawing.jpg", ReadBytes((Source / "resources/samples" / sample).string()));
        const LoadResult full = loader.load(path), thumb = loader.loadScaled(path, 120, 120);
        ASSERT_TRUE(full.ok() && thumb.ok()) << sample << full.errorText << thumb.errorText;
        for (const LoadResult* result : {&full, &thumb})
            EXPECT_EQ(std::pair(result->naturalWidth, result->naturalHeight), std::pair(480, 360));
        EXPECT_EQ(std::pair(full.image.width(), full.image.height()), std::pair(480, 360));
        EXPECT_EQ(std::pair(thumb.image.width(), thumb.image.height()), std::pair(120, 90));
        for (const auto& [x, y, colour] : spots) {
            EXPECT_TRUE(Near(full.image.at(x, y), colour, tolerance))
                << sample << " " << x << "," << y << std::hex << " " << full.image.at(x, y);
            EXPECT_TRUE(Near(thumb.image.at(x / 4, y / 4), colour, tolerance + 24))
                << sample << " thumbnail " << x << "," << y;
        }
    }
}

// A helper that is not the real one: a script that answers from a file, hangs or crashes.
class FakeHelper : public ::testing::Test {
protected:
    std::string script(const std::string& body) {
        const std::string path = dir.file("helper-" + std::to_string(++count) + ".sh",
                                          "#!/bin/sh\n" + body + "\n");
        fs::permissions(path, fs::perms::owner_all);
        return path;
    }
    std::string replying(vistrel::metafile::Reply reply, std::size_t pixelBytes = 0) {
        const std::string header(reinterpret_cast<const char*>(&reply), sizeof reply);
        const std::string file = dir.file("reply-" + std::to_string(++count),
                                          header + std::string(pixelBytes, '\xFF'));
        return script("cat '" + file + "'");
    }
    LoadResult load(const std::string& helper, std::optional<PixelSize> box = PixelSize{64, 64}) {
        const MetafileLoader loader({helper, vistrel::core::MetafileTimeLimitMs});
        return loader.load(dir.file("picture.emf", "irrelevant"), box);
    }
    vistrel::test::TempFolder dir;
    int count = 0;
};

TEST_F(FakeHelper, HelperThatHangsIsStoppedAfterTheTimeLimit) {
    const auto start = Clock::now();
    const LoadResult result = load(script("exec sleep 30"));
    const auto took = Clock::now() - start;
    EXPECT_EQ(result.error, LoadError::Damaged);
    EXPECT_NE(result.errorText.find("picture.emf: the drawing took longer than 2 seconds"),
              std::string::npos)
        << result.errorText;
    EXPECT_GE(took, std::chrono::milliseconds(1900));
    EXPECT_LT(took, std::chrono::milliseconds(4000));
}

TEST_F(FakeHelper, CrashesNonsenseAndLiesEndInAClearErrorWithoutAllocating) {
    using vistrel::metafile::Reply;
    using vistrel::metafile::Status;
    const auto ok = [](int nw, int nh, int w, int h) {
        Reply reply;
        reply.naturalWidth = nw, reply.naturalHeight = nh, reply.width = w, reply.height = h;
        return reply;
    };
    Reply wrongMagic = ok(64, 64, 64, 64);
    wrongMagic.magic = 0x12345678;
    Reply unknownStatus = ok(64, 64, 64, 64);
    unknownStatus.status = static_cast<Status>(77);
    Reply tooLargeWithoutSize;
    tooLargeWithoutSize.status = Status::TooLarge;
    const std::tuple<const char*, std::string> cases[] = {
        {"crash", script("kill -SEGV $$")},
        {"exits at once", script("exit 0")},
        {"half a reply", script("printf 'VMFA'")},
        {"wrong magic", replying(wrongMagic, 64 * 64 * 4)},
        {"unknown status", replying(unknownStatus)},
        {"too large without a size", replying(tooLargeWithoutSize)},
        // 100000 x 100000 would be 40 GB; 64 x 64 fits the box but not this natural size.
        {"huge natural size", replying(ok(100000, 100000, 100000, 100000))},
        {"negative size", replying(ok(-5, 64, -5, 64))},
        {"larger than the box", replying(ok(640, 640, 640, 640), 640 * 640 * 4)},
        {"pixels cut short", replying(ok(64, 64, 64, 64), 1000)},
    };
    for (const auto& [name, helper] : cases) {
        const auto start = Clock::now();
        const LoadResult result = load(helper);
        EXPECT_EQ(result.error, LoadError::Damaged) << name << ": " << result.errorText;
        EXPECT_NE(result.errorText.find("picture.emf: the metafile cannot be read"),
                  std::string::npos)
            << name << ": " << result.errorText;
        EXPECT_TRUE(result.image.isNull()) << name;
        EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(1500)) << name;
    }
    // A well-formed answer is taken as it is, and a refusal keeps its reason.
    Reply tooLarge = ok(30000, 30000, 0, 0);
    tooLarge.status = Status::TooLarge;
    const LoadResult refused = load(replying(tooLarge));
    EXPECT_EQ(refused.error, LoadError::TooLarge);
    EXPECT_NE(refused.errorText.find("30000 x 30000"), std::string::npos) << refused.errorText;
    const LoadResult fine = load(replying(ok(128, 64, 64, 32), 64 * 32 * 4));
    ASSERT_TRUE(fine.ok()) << fine.errorText;
    EXPECT_EQ(std::tuple(fine.naturalWidth, fine.image.width(), fine.image.height()),
              std::tuple(128, 64, 32));

    const LoadResult missing = load(dir.path("no-such-helper"));
    EXPECT_EQ(missing.error, LoadError::NotAPicture);
    EXPECT_NE(missing.errorText.find("vistrel-metafile"), std::string::npos);
}

TEST(MetafileLoader, ConcurrentLoadsShareHelpersAndAgree) {
    const std::string emf = (Source / "resources/samples/sample-drawing.emf").string();
    const std::string wmf = (Source / "resources/samples/sample-drawing.wmf").string();
    MetafileLoader::Options options;
    options.filesPerHelper = 3;
    const MetafileLoader loader(options);
    const Image expected[] = {loader.load(emf, PixelSize{96, 96}).image,
                              loader.load(wmf, PixelSize{96, 96}).image};
    ASSERT_FALSE(expected[0].isNull() || expected[1].isNull());
    std::vector<std::vector<LoadResult>> got(3);
    std::vector<std::thread> workers;
    for (auto& results : got)
        workers.emplace_back([&] {
            for (int i = 0; i < 8; ++i)
                results.push_back(loader.load(i % 2 ? wmf : emf, PixelSize{96, 96}));
        });
    for (auto& worker : workers)
        worker.join();
    for (const auto& results : got)
        for (std::size_t i = 0; i < results.size(); ++i)
            EXPECT_TRUE(results[i].ok() && results[i].image == expected[i % 2])
                << i << ": " << results[i].errorText;
}

// Compared with renderings of the libraries' SVG by another renderer (rsvg-convert), made
// once; see tests/data/metafiles/README.md. Mean absolute difference per channel, 0..255.
TEST(MetafileLoader, RenderingsMatchAnotherRenderer) {
    const fs::path data = Source / "tests/data/metafiles";
    const std::tuple<const char*, std::optional<PixelSize>, double> cases[] = {
        {"wrench.emf", std::nullopt, 2.0},
        {"test-132.emf", std::nullopt, 2.0},
        {"test_mm_isotropic_ref.emf", PixelSize{280, 280}, 2.0},
        {"santa.wmf", std::nullopt, 2.0}};
    const MetafileLoader loader;
    for (const auto& [name, box, limit] : cases) {
        const LoadResult result = loader.load((data / name).string(), box);
        ASSERT_TRUE(result.ok()) << name << ": " << result.errorText;
        QImage reference((data / (fs::path(name).stem().string() + ".ref.png")).string().c_str());
        ASSERT_FALSE(reference.isNull()) << name;
        QImage white(reference.size(), QImage::Format_RGB32);
        white.fill(Qt::white);
        {
            QPainter painter(&white);
            painter.drawImage(0, 0, reference);
        }
        ASSERT_EQ(std::pair(result.image.width(), result.image.height()),
                  std::pair(white.width(), white.height()))
            << name;
        double sum = 0;
        for (int y = 0; y < white.height(); ++y)
            for (int x = 0; x < white.width(); ++x) {
                const QRgb a = white.pixel(x, y);
                const std::uint32_t b = result.image.at(x, y);
                sum += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                       std::abs(qBlue(a) - qBlue(b));
            }
        const double mean = sum / (3.0 * white.width() * white.height());
        std::cout << "  " << name << ": mean difference " << mean << " (limit " << limit << ")\n";
        EXPECT_LT(mean, limit) << name;
    }
}

// Third-party metafiles: the display folders must all show; damaged files give a picture or
// a clear error within the time limit, and never take the viewer down.
TEST(MetafileLoaderCorpus, EveryFileDisplaysAndDamagedOnesEndInTime) {
    const fs::path root = vistrel::test::CorporaRoot();
    const std::tuple<const char*, bool> folders[] = {{"wmf-emf-poi", true},
                                                    {"wmf-emf-libuemf", true},
                                                    {"emf-libemf2svg/emf", true},
                                                    {"emf-libemf2svg/emf-corrupted", false}};
    QtPictureLoader loader;
    int present = 0;
    for (const auto& [folder, mustDisplay] : folders) {
        if (!fs::is_directory(root / folder)) {
            std::cout << "  picture corpus not present: " << (root / folder) << "\n";
            continue;
        }
        ++present;
        std::vector<fs::path> files;
        for (const auto& entry : fs::directory_iterator(root / folder))
            if (entry.path().extension() == ".emf" || entry.path().extension() == ".wmf")
                files.push_back(entry.path());
        std::sort(files.begin(), files.end());
        int ok = 0, failed = 0;
        for (const fs::path& path : files) {
            const std::string name = path.filename().string();
            const auto start = Clock::now();
            const LoadResult full = loader.load(path.string());
            const LoadResult thumb = loader.loadScaled(path.string(), 64, 64);
            // Each of the two loads is stopped at the time limit.
            const int limit = MetafileLoader::Options{}.timeLimitMs;
            EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(2 * limit + 1500)) << name;
            if (!full.ok()) {
                ++failed;
                std::cout << "  " << full.errorText << "\n";
                EXPECT_NE(full.errorText.find(name), std::string::npos) << full.errorText;
                EXPECT_FALSE(mustDisplay) << full.errorText;
                continue;
            }
            ++ok;
            EXPECT_TRUE(thumb.ok()) << thumb.errorText;
            EXPECT_EQ(std::pair(full.image.width(), full.image.height()),
                      std::pair(full.naturalWidth, full.naturalHeight))
                << name;
            EXPECT_EQ(std::pair(thumb.naturalWidth, thumb.naturalHeight),
                      std::pair(full.naturalWidth, full.naturalHeight))
                << name;
            EXPECT_TRUE(thumb.image.width() <= 64 && thumb.image.height() <= 64) << name;
        }
        std::cout << folder << ": " << ok << " displayed, " << failed << " failed\n";
        RecordProperty(std::string(folder) + " displayed", ok);
    }
    if (!present) GTEST_SKIP() << "picture corpora not present under " << root;
}

} // namespace
