#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <thread>
#include <tuple>
#include <vector>

#include "core/viewer/pictureloadrules.h"
#include "fakes/tempfolder.h"
#include "qt/corpora.h"
#include "qt/encodedpictures.h"
#include "qt/platform/imageconvert.h"
#include "qt/platform/qtpictureloader.h"

namespace {

namespace fs = std::filesystem;
using namespace vistrel::test;
using vistrel::core::Image;
using vistrel::core::LoadError;
using vistrel::core::LoadResult;
using vistrel::qt::QtPictureLoader;

// An EXIF block right after the JPEG's start marker: the orientation tag and, when given, a
// JPEG thumbnail as cameras write them.
Bytes withExif(const Bytes& jpeg, int orientation, const Bytes& thumbnail = {}) {
    const auto entry = [](int tag, int type, std::uint32_t value) {
        return BigEndian(tag, 2) + BigEndian(type, 2) + BigEndian(1, 4) +
               (type == 3 ? BigEndian(value, 2) + Bytes(2, '\0') : BigEndian(value, 4));
    };
    Bytes payload = Bytes("Exif\0\0MM\0\x2A\0\0\0\x08", 14) + BigEndian(1, 2) +
                    entry(0x0112, 3, orientation) + BigEndian(thumbnail.empty() ? 0 : 26, 4);
    if (!thumbnail.empty())
        payload += BigEndian(3, 2) + entry(0x0103, 3, 6) + entry(0x0201, 4, 68) +
                   entry(0x0202, 4, thumbnail.size()) + BigEndian(0, 4) + thumbnail;
    return jpeg.substr(0, 2) + "\xFF\xE1" + BigEndian(payload.size() + 2, 2) + payload +
           jpeg.substr(2);
}

// Small files whose headers claim 30000 x 30000 (GIF), 65000 x 65000 (JPEG) or, at one bit a
// pixel, 16000 x 16000 pixels: 32 MB in Qt's own format, within Qt's limit; 1 GB converted.
Bytes gifBomb() {
    return "GIF89a" + LittleEndian(30000, 2) + LittleEndian(30000, 2) +
           Bytes("\x80\0\0\0\0\0\xFF\xFF\xFF\x2C\0\0\0\0\x01\0\x01\0\0\x02\x02\x44\x01\0\x3B", 25);
}

Bytes jpegBomb() {
    Bytes jpeg = Encode(Solid(8, 8, Red), "JPG");
    return jpeg.replace(jpeg.find("\xFF\xC0") + 5, 4, BigEndian(65000, 2) + BigEndian(65000, 2));
}

Bytes monoBmpBomb() {
    const Bytes info = LittleEndian(40, 4) + LittleEndian(16000, 4) + LittleEndian(16000, 4) +
                       LittleEndian(1, 2) + LittleEndian(1, 2) + Bytes(16, '\0') +
                       LittleEndian(2, 4) + Bytes(4, '\0');
    return "BM" + LittleEndian(14 + 40 + 8 + 64, 4) + Bytes(4, '\0') + LittleEndian(62, 4) + info +
           Bytes("\0\0\0\0\xFF\xFF\xFF\0", 8) + Bytes(64, '\0');
}

// An icon with one image per given size, each in its own colour, built from Qt's single ones.
Bytes iconOf(const std::vector<std::pair<int, QRgb>>& images) {
    Bytes directory = Bytes("\0\0\x01\0", 4) + LittleEndian(images.size(), 2), data;
    for (const auto& [size, colour] : images) {
        const Bytes single = Encode(Solid(size, size, colour), "ICO");
        directory += single.substr(6, 12) + LittleEndian(6 + 16 * images.size() + data.size(), 4);
        data += single.substr(6 + 16);
    }
    return directory + data;
}

void expectFailure(const LoadResult& result, LoadError error, const std::string& name) {
    EXPECT_FALSE(result.ok()) << name;
    EXPECT_EQ(result.error, error) << name << ": " << result.errorText;
    EXPECT_TRUE(result.image.isNull()) << name;
    EXPECT_NE(result.errorText.find(name), std::string::npos) << result.errorText;
}

std::pair<int, int> natural(const LoadResult& r) { return {r.naturalWidth, r.naturalHeight}; }
std::pair<int, int> shown(const LoadResult& r) { return {r.image.width(), r.image.height()}; }

class PictureLoaderTest : public ::testing::Test {
protected:
    std::string put(const std::string& name, const Bytes& bytes) { return dir.file(name, bytes); }
    TempFolder dir;
    QtPictureLoader loader;
};

TEST_F(PictureLoaderTest, ContentDecidesTheFormatWhateverTheName) {
    const Bytes bmp = Encode(QuadrantPicture(8, 4), "BMP");
    std::vector<std::string> names = {"a.bmp", "a.jpg", "A.GIF", "no suffix", "-a.bmp",
                                      "café ü.bmp", " lead.bmp", "#1 [copy] (2) & 'x'.bmp",
                                      "headerless.dib"};
#ifndef _WIN32
    names.push_back("latin1 caf\xe9.bmp"); // not valid UTF-8
#endif
    for (const std::string& name : names) {
        const LoadResult result =
            loader.load(put(name, name.ends_with(".dib") ? bmp.substr(14) : bmp));
        ASSERT_TRUE(result.ok()) << name << ": " << result.errorText;
        EXPECT_EQ(natural(result), std::pair(8, 4)) << name;
        EXPECT_EQ(QuadrantColours(result.image), Upright) << name;
    }
    // A bitmap without its file header is read only by the .dib extension.
    for (const char* name : {"headerless.jpg", "headerless"})
        expectFailure(loader.load(put(name, bmp.substr(14))), LoadError::NotAPicture, name);
}

TEST_F(PictureLoaderTest, ExifOrientationGivesTheUprightPicture) {
    const std::tuple<int, bool, Quadrants> cases[] = {// stored: red green / blue yellow
                                                      {1, false, Upright},
                                                      {3, false, {Yellow, Blue, Green, Red}},
                                                      {5, true, {Red, Blue, Green, Yellow}},
                                                      {6, true, {Blue, Red, Yellow, Green}},
                                                      {8, true, {Green, Yellow, Red, Blue}}};
    const Bytes jpeg = Encode(QuadrantPicture(400, 200), "JPG", 95);
    for (const auto& [orientation, turned, corners] : cases) {
        SCOPED_TRACE(orientation);
        const std::string path = put("turned.jpg", withExif(jpeg, orientation));
        const int w = turned ? 200 : 400, h = turned ? 400 : 200;
        const LoadResult results[] = {loader.load(path), loader.loadScaled(path, 50, 50)};
        for (int scale : {1, 8}) {
            const LoadResult& result = results[scale / 8];
            ASSERT_TRUE(result.ok()) << result.errorText;
            EXPECT_EQ(natural(result), std::pair(w, h));
            EXPECT_EQ(shown(result), std::pair(w / scale, h / scale));
            EXPECT_TRUE(Near(QuadrantColours(result.image), corners, 40));
        }
    }
}

TEST_F(PictureLoaderTest, JpegThumbnailIsTheExifOneWhenItHasTheProportionsAndCoversTheBox) {
#ifdef VISTREL_HAVE_LIBEXIF
    constexpr bool withLibexif = true;
#else
    constexpr bool withLibexif = false;
#endif
    const Quadrants embedded{0xFF00FFFF, 0xFFFF00FF, 0xFFFFFFFF, 0xFF000000};
    const std::tuple<const char*, int, int, int, int, int, bool> cases[] = {
        // picture, thumbnail, orientation, thumbnail taken
        {"matching", 800, 600, 160, 120, 1, true},
        {"turned", 800, 600, 160, 120, 6, true},
        {"letterboxed", 800, 450, 160, 120, 1, false},
        {"too small", 800, 600, 80, 60, 1, false}};
    for (const auto& [what, width, height, thumbWidth, thumbHeight, orientation, taken] : cases) {
        SCOPED_TRACE(what);
        const Bytes jpeg =
            withExif(Encode(QuadrantPicture(width, height), "JPG", 90), orientation,
                     Encode(QuadrantPicture(thumbWidth, thumbHeight, embedded), "JPG", 90));
        const LoadResult result = loader.loadScaled(put("camera.jpg", jpeg), 128, 128);
        ASSERT_TRUE(result.ok()) << result.errorText;
        const bool turned = orientation == 6;
        const int w = turned ? height : width, h = turned ? width : height;
        EXPECT_EQ(natural(result), std::pair(w, h));
        const auto fit = vistrel::core::FitInsidePixels(w, h, 128, 128);
        EXPECT_EQ(shown(result), std::pair(fit.width, fit.height));
        const Quadrants& stored = taken && withLibexif ? embedded : Upright;
        const Quadrants corners =
            turned ? Quadrants{stored[2], stored[0], stored[3], stored[1]} : stored;
        EXPECT_TRUE(Near(QuadrantColours(result.image), corners, 40));
    }
}

TEST_F(PictureLoaderTest, UnusableFilesFailNamingTheFileAndTheReason) {
    fs::create_directory(dir.path("folder.jpg"));
    const std::tuple<std::string, std::optional<Bytes>, LoadError> cases[] = {
        {"missing.jpg", std::nullopt, LoadError::NotFound},
        {"empty.jpg", Bytes(), LoadError::Empty},
        {"x.jpg", Bytes("this is a text file\n"), LoadError::NotAPicture},
        {"cut in header.jpg", Encode(QuadrantPicture(64, 64), "JPG").substr(0, 200),
         LoadError::Damaged},
        {"folder.jpg", std::nullopt, LoadError::Unreadable}};
    for (const auto& [name, content, error] : cases) {
        const std::string path = content ? put(name, *content) : dir.path(name);
        expectFailure(loader.load(path), error, name);
        expectFailure(loader.loadScaled(path, 16, 16), error, name);
    }
    expectFailure(loader.load(dir.path("gone/a.jpg")), LoadError::NotFound, "a.jpg");
}

TEST_F(PictureLoaderTest, FileWithoutReadPermissionFails) {
    const std::string locked = put("locked.bmp", Encode(Solid(2, 2, Red), "BMP"));
    fs::permissions(locked, fs::perms::none);
    if (std::ifstream(locked).good()) GTEST_SKIP() << "running with rights that ignore permissions";
    expectFailure(loader.load(locked), LoadError::Unreadable, "locked.bmp");
}

TEST_F(PictureLoaderTest, DecompressionBombsAreRefusedBeforeDecodingButLargePicturesLoad) {
    // Even a JPEG's 1/8 decode is above this limit.
    const QtPictureLoader tight(64 * 1024 * 1024, nullptr);
    const std::tuple<const char*, Bytes, int> bombs[] = {{"bomb.gif", gifBomb(), 30000},
                                                         {"bomb.jpg", jpegBomb(), 65000},
                                                         {"bomb.bmp", monoBmpBomb(), 16000}};
    for (const auto& [name, bytes, side] : bombs) {
        const std::string path = put(name, bytes);
        const std::string size = std::to_string(side) + " x " + std::to_string(side) + " pixels";
        for (const LoadResult& result : {tight.load(path), tight.loadScaled(path, 160, 120)}) {
            expectFailure(result, LoadError::TooLarge, name);
            EXPECT_NE(result.errorText.find(size), std::string::npos) << result.errorText;
            EXPECT_EQ(result.naturalWidth, side) << name;
        }
    }
    // 140 MB decoded: above Qt's default allocation limit of 128 MB.
    const LoadResult large =
        loader.load(put("large.jpg", Encode(Solid(5000, 7000, Green), "JPG", 50)));
    ASSERT_TRUE(large.ok()) << large.errorText;
    EXPECT_TRUE(Near(large.image.at(4999, 6999), Green, 8));
    // A JPEG cut short in its data shows what arrived.
    const Bytes jpeg = Encode(QuadrantPicture(256, 256), "JPG", 90);
    const LoadResult cut = loader.load(put("cut.jpg", jpeg.substr(0, jpeg.size() * 3 / 4)));
    ASSERT_TRUE(cut.ok()) << cut.errorText;
    EXPECT_TRUE(Near(cut.image.at(10, 10), Red, 40));
}

// A 108-megapixel phone photo: a thumbnail whatever the limit, the whole picture where the
// limit allows it, else a reduced one; other formats above the limit are refused.
TEST_F(PictureLoaderTest, BigPicturesAreLimitedByWhatTheirDecodeTakes) {
    constexpr std::int64_t MB = 1024 * 1024;
    const std::string big = put("phone.jpg", Encode(QuadrantPicture(12000, 9000), "JPG", 50));

    const QtPictureLoader tight(64 * MB, nullptr); // its 1/8 decode takes 6.75 MB
    const LoadResult thumbnail = tight.loadScaled(big, 160, 120);
    ASSERT_TRUE(thumbnail.ok()) << thumbnail.errorText;
    EXPECT_EQ(shown(thumbnail), std::pair(160, 120));
    EXPECT_EQ(natural(thumbnail), std::pair(12000, 9000));

    const std::tuple<std::int64_t, int, int, int> cases[] = {// limit, size shown, reduction
                                                             {500 * MB, 12000, 9000, 1},
                                                             {200 * MB, 6000, 4500, 2},
                                                             {64 * MB, 3000, 2250, 4},
                                                             {6 * MB, 0, 0, 0}};
    for (const auto& [limit, width, height, reduction] : cases) {
        SCOPED_TRACE(limit);
        const LoadResult result = QtPictureLoader(limit, nullptr).load(big);
        if (reduction == 0) {
            expectFailure(result, LoadError::TooLarge, "phone.jpg");
            EXPECT_NE(result.errorText.find("12000 x 9000 pixels"), std::string::npos);
            continue;
        }
        ASSERT_TRUE(result.ok()) << result.errorText;
        EXPECT_EQ(result.reduction, reduction);
        EXPECT_EQ(shown(result), std::pair(width, height));
        EXPECT_EQ(natural(result), std::pair(12000, 9000));
        EXPECT_TRUE(Near(QuadrantColours(result.image), Upright, 40));
    }

    // A turned photo is reduced upright.
    const Bytes turned = Encode(QuadrantPicture(3000, 2000), "jpeg", -1,
                                QImageIOHandler::TransformationRotate90);
    const LoadResult upright = QtPictureLoader(8 * MB, nullptr).load(put("turned.jpg", turned));
    ASSERT_TRUE(upright.ok()) << upright.errorText;
    EXPECT_EQ(upright.reduction, 2);
    EXPECT_EQ(natural(upright), std::pair(2000, 3000));
    EXPECT_EQ(shown(upright), std::pair(1000, 1500));
    EXPECT_TRUE(Near(QuadrantColours(upright.image), {Blue, Red, Yellow, Green}, 40));

    // PNG cannot decode reduced: refused for the view and for the thumbnail.
    const std::string png = put("wide.png", Encode(QuadrantPicture(5000, 4000), "PNG"));
    for (const LoadResult& result : {tight.load(png), tight.loadScaled(png, 160, 120)})
        expectFailure(result, LoadError::TooLarge, "wide.png");
}

TEST_F(PictureLoaderTest, APictureThatWouldNotFitIntoTheFreeMemoryIsNotDecoded) {
    const std::string jpeg = put("a.jpg", Encode(QuadrantPicture(1000, 800), "JPG"));
    const std::string png = put("a.png", Encode(QuadrantPicture(1000, 800), "PNG"));
    const QtPictureLoader starved(vistrel::core::MinDecodeBytes, [] { return 1024 * 1024; });
    for (const auto& [path, name] : {std::pair(jpeg, "a.jpg"), std::pair(png, "a.png")}) {
        const LoadResult result = starved.load(path);
        expectFailure(result, LoadError::OutOfMemory, name);
        EXPECT_NE(result.errorText.find("not enough memory for this picture"), std::string::npos);
    }
    const QtPictureLoader plenty(vistrel::core::MinDecodeBytes, [] { return 1 << 30; });
    EXPECT_TRUE(plenty.load(jpeg).ok());
}

TEST_F(PictureLoaderTest, ScaledDecodeFitsTheBoxKeepingProportionsAndIsSmooth) {
    const std::tuple<const char*, int, int, int, int, int, int> cases[] = {
        // format, picture, box, expected
        {"JPG", 4000, 3000, 160, 120, 160, 120}, {"JPG", 3000, 4000, 160, 120, 90, 120},
        {"PNG", 1000, 10, 160, 120, 160, 2},     {"PNG", 100, 50, 160, 120, 100, 50},
        {"BMP", 301, 199, 64, 64, 64, 42},       {"PPM", 90, 700, 50, 500, 50, 389}};
    for (const auto& [format, width, height, boxW, boxH, w, h] : cases) {
        SCOPED_TRACE(format);
        const LoadResult result = loader.loadScaled(
            put(std::string("scaled.") + format, Encode(QuadrantPicture(width, height), format)),
            boxW, boxH);
        ASSERT_TRUE(result.ok()) << result.errorText;
        EXPECT_EQ(natural(result), std::pair(width, height));
        EXPECT_EQ(shown(result), std::pair(w, h));
        EXPECT_TRUE(w < 8 || h < 8 || Near(QuadrantColours(result.image)[3], Yellow, 40));
    }
    QImage checkers(200, 200, QImage::Format_RGB32);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x) checkers.setPixel(x, y, (x + y) % 2 ? White : 0xFF000000);
    const LoadResult result =
        loader.loadScaled(put("checkers.png", Encode(checkers, "PNG")), 70, 70);
    ASSERT_TRUE(result.ok()) << result.errorText;
    EXPECT_TRUE(Near(result.image.at(35, 35), 0xFF808080, 40))
        << std::hex << result.image.at(35, 35);
}

TEST_F(PictureLoaderTest, TransparencyIsComposedOverWhite) {
    const QRgb pixels[] = {0xFFFF0000, 0x00000000, 0x80000000, 0x400000FF, 0xC0FF8000};
    QImage picture(5, 1, QImage::Format_ARGB32);
    for (int x = 0; x < 5; ++x) picture.setPixel(x, 0, pixels[x]);
    const LoadResult result = loader.load(put("alpha.png", Encode(picture, "PNG")));
    ASSERT_TRUE(result.ok()) << result.errorText;
    for (int x = 0; x < 5; ++x) {
        const QRgb p = pixels[x], got = result.image.at(x, 0);
        EXPECT_TRUE(Near(got, OverWhite(qRed(p), qGreen(p), qBlue(p), qAlpha(p)), 1))
            << x << " " << std::hex << got;
        EXPECT_EQ(got >> 24, 0xFFu);
    }
}

TEST_F(PictureLoaderTest, IconShowsItsLargestImage) {
    const std::string path = put("app.ico", iconOf({{16, Red}, {48, Green}, {32, Blue}}));
    const LoadResult full = loader.load(path), thumb = loader.loadScaled(path, 24, 24);
    ASSERT_TRUE(full.ok() && thumb.ok()) << full.errorText << thumb.errorText;
    EXPECT_EQ(full.image.width(), 48);
    EXPECT_EQ(full.image.at(24, 24), Green);
    EXPECT_EQ(thumb.naturalWidth, 48);
    EXPECT_EQ(thumb.image.width(), 24);
    EXPECT_EQ(thumb.image.at(12, 12), Green);
}

TEST_F(PictureLoaderTest, ConcurrentLoadsGiveTheSameResults) {
    const std::vector<std::string> paths = {put("a.jpg", Encode(QuadrantPicture(900, 600), "JPG")),
                                            put("b.png", Encode(QuadrantPicture(300, 700), "PNG")),
                                            put("c.bmp", Encode(QuadrantPicture(50, 50), "BMP"))};
    std::vector<Image> expected;
    for (const auto& path : paths) expected.push_back(loader.loadScaled(path, 100, 100).image);
    std::vector<std::vector<LoadResult>> got(4);
    std::vector<std::thread> workers;
    for (auto& results : got)
        workers.emplace_back([&] {
            for (int i = 0; i < 5 * 3; ++i)
                results.push_back(loader.loadScaled(paths[i % 3], 100, 100));
        });
    for (auto& worker : workers) worker.join();
    for (const auto& results : got)
        for (std::size_t i = 0; i < results.size(); ++i)
            EXPECT_TRUE(results[i].ok() && results[i].image == expected[i % 3]) << paths[i % 3];
}

TEST(ImageConvert, CoreImagesCrossToQtAndBack) {
    Image image(3, 2, Blue);
    image.at(2, 1) = Yellow;
    const QImage view = vistrel::qt::wrapImage(image);
    EXPECT_EQ(view.constBits(), reinterpret_cast<const uchar*>(image.data()));
    EXPECT_EQ(view.pixel(2, 1), Yellow);
    const QImage copy = vistrel::qt::toQImage(image);
    image.at(2, 1) = Green;
    EXPECT_EQ(copy.pixel(2, 1), Yellow);
    EXPECT_EQ(vistrel::qt::toCoreImage(copy).at(0, 1), Blue);
    EXPECT_TRUE(vistrel::qt::toCoreImage(QImage()).isNull());
}

// Third-party test files: never a crash, and either a picture or an error naming the file.
struct Corpus {
    const char* name;
    const char* folder;
    const char* extension; // empty: every file
};

class PictureLoaderCorpus : public ::testing::TestWithParam<Corpus> {};

TEST_P(PictureLoaderCorpus, EveryFileLoadsOrFailsClearly) {
    const fs::path folder = CorporaRoot() / GetParam().folder;
    if (!fs::is_directory(folder)) GTEST_SKIP() << "picture corpus not present: " << folder;
    const std::string extension = GetParam().extension;
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.is_regular_file() && (extension.empty() || entry.path().extension() == extension))
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    QtPictureLoader loader;
    int ok = 0, failed = 0;
    for (const fs::path& path : files) {
        const std::string name = path.filename().string();
        const LoadResult result = loader.load(path.string()),
                         thumb = loader.loadScaled(path.string(), 64, 64);
        EXPECT_EQ(thumb.ok(), result.ok()) << name << ": " << thumb.errorText;
        if (!result.ok()) {
            ++failed;
            std::cout << "  " << result.errorText << "\n";
            EXPECT_NE(result.errorText.find(name), std::string::npos) << result.errorText;
            continue;
        }
        ++ok;
        EXPECT_EQ(shown(result), natural(result)) << name;
        EXPECT_EQ(natural(thumb), natural(result)) << name;
        EXPECT_TRUE(thumb.image.width() <= 64 && thumb.image.height() <= 64) << name;
    }
    std::cout << GetParam().folder << ": " << ok << " ok, " << failed << " failed\n";
    RecordProperty("ok", ok);
    RecordProperty("failed", failed);
    EXPECT_TRUE(failed == 0 || std::string(GetParam().folder) != "bmpsuite/g") << failed;
    EXPECT_GT(ok, 0);
}

INSTANTIATE_TEST_SUITE_P(PictureLoader, PictureLoaderCorpus,
                         ::testing::Values(Corpus{"bmpsuite_g", "bmpsuite/g", ""},
                                           Corpus{"bmpsuite_q", "bmpsuite/q", ""},
                                           Corpus{"jpeg_testimages", "jpeg-testimages", ""},
                                           Corpus{"ico_image_rs_ico_images",
                                                  "ico-image-rs/ico/images", ""},
                                           Corpus{"gif_pygif", "gif-pygif", ".gif"}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
