#include <QBuffer>
#include <QImageWriter>
#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <thread>
#include <tuple>
#include <vector>

#include "core/viewer/pictureloadrules.h"
#include "fakes/tempfolder.h"
#include "qt/corpora.h"
#include "qt/platform/imageconvert.h"
#include "qt/platform/qtpictureloader.h"

namespace {

namespace fs = std::filesystem;
using vistrel::core::Image;
using vistrel::core::LoadError;
using vistrel::core::LoadResult;
using vistrel::qt::QtPictureLoader;
using Bytes = std::string;
using Quadrants = std::array<QRgb, 4>;

constexpr QRgb Red = 0xFFFF0000, Green = 0xFF00FF00, Blue = 0xFF0000FF, Yellow = 0xFFFFFF00;

Bytes encode(const QImage& image, const char* format, int quality = -1) {
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, format, quality)) << format;
    return data.toStdString();
}

QImage solid(int width, int height, QRgb colour) {
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

// Quadrants red, green (top) and blue, yellow (bottom): any turn or mirror moves them.
QImage quadrants(int width, int height, const Quadrants& colours = {Red, Green, Blue, Yellow}) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, colours[(y < height / 2 ? 0 : 2) + (x < width / 2 ? 0 : 1)]);
    return image;
}

// Colours at the centres of the four quadrants: top left, top right, bottom left, bottom right.
Quadrants quadrantColours(const Image& image) {
    const int w = image.width(), h = image.height();
    return {image.at(w / 4, h / 4), image.at(3 * w / 4, h / 4), image.at(w / 4, 3 * h / 4),
            image.at(3 * w / 4, 3 * h / 4)};
}

bool near(QRgb a, QRgb b, int tolerance) {
    return std::abs(qRed(a) - qRed(b)) <= tolerance &&
           std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

bool near(const Quadrants& a, const Quadrants& b, int tolerance) {
    return std::equal(a.begin(), a.end(), b.begin(),
                      [&](QRgb x, QRgb y) { return near(x, y, tolerance); });
}

// A colour with alpha as it looks in front of white.
QRgb overWhite(int red, int green, int blue, int alpha) {
    const auto over = [&](int c) {
        return int(c * alpha / 255.0 + 255 * (1 - alpha / 255.0) + 0.5);
    };
    return qRgb(over(red), over(green), over(blue));
}

Bytes littleEndian(std::uint32_t v, int n) {
    Bytes out;
    for (int i = 0; i < n; ++i)
        out += char((v >> (8 * i)) & 0xFF);
    return out;
}

Bytes bigEndian(std::uint32_t v, int n) {
    Bytes out = littleEndian(v, n);
    return {out.rbegin(), out.rend()};
}

// Puts an EXIF block with just the orientation tag right after the JPEG's start marker.
Bytes withOrientation(const Bytes& jpeg, int orientation) {
    const Bytes payload = Bytes("Exif\0\0MM\0\x2A\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01\0", 25) +
                          char(orientation) + Bytes(6, '\0');
    return jpeg.substr(0, 2) + "\xFF\xE1" + bigEndian(payload.size() + 2, 2) + payload +
           jpeg.substr(2);
}

// Puts an EXIF block with the orientation tag and a JPEG thumbnail, as cameras write them,
// right after the JPEG's start marker.
Bytes withThumbnail(const Bytes& jpeg, const Bytes& thumbnail, int orientation) {
    const auto entry = [](int tag, int type, std::uint32_t value) {
        return bigEndian(tag, 2) + bigEndian(type, 2) + bigEndian(1, 4) +
               (type == 3 ? bigEndian(value, 2) + Bytes(2, '\0') : bigEndian(value, 4));
    };
    const Bytes ifd0 = bigEndian(1, 2) + entry(0x0112, 3, orientation) + bigEndian(26, 4);
    const Bytes ifd1 = bigEndian(3, 2) + entry(0x0103, 3, 6) + entry(0x0201, 4, 68) +
                       entry(0x0202, 4, thumbnail.size()) + bigEndian(0, 4);
    const Bytes payload = Bytes("Exif\0\0MM\0\x2A\0\0\0\x08", 14) + ifd0 + ifd1 + thumbnail;
    return jpeg.substr(0, 2) + "\xFF\xE1" + bigEndian(payload.size() + 2, 2) + payload +
           jpeg.substr(2);
}

// Small files whose headers claim 30000 x 30000 pixels (3.6 GB decoded).
constexpr int Huge = 30000;

Bytes gifBomb() {
    return "GIF89a" + littleEndian(Huge, 2) + littleEndian(Huge, 2) +
           Bytes("\x80\0\0\0\0\0\xFF\xFF\xFF\x2C\0\0\0\0\x01\0\x01\0\0\x02\x02\x44\x01\0\x3B", 25);
}

constexpr int HugeJpeg = 65000;

Bytes jpegBomb() {
    Bytes jpeg = encode(solid(8, 8, Red), "JPG");
    return jpeg.replace(jpeg.find("\xFF\xC0") + 5, 4,
                        bigEndian(HugeJpeg, 2) + bigEndian(HugeJpeg, 2));
}

// One bit a pixel: 32 MB in Qt's own format, within Qt's limit; 1 GB once converted.
constexpr int LargeBmp = 16000;

Bytes monoBmpBomb() {
    const Bytes info = littleEndian(40, 4) + littleEndian(LargeBmp, 4) + littleEndian(LargeBmp, 4) +
                       littleEndian(1, 2) + littleEndian(1, 2) + Bytes(16, '\0') +
                       littleEndian(2, 4) + Bytes(4, '\0');
    return "BM" + littleEndian(14 + 40 + 8 + 64, 4) + Bytes(4, '\0') + littleEndian(62, 4) + info +
           Bytes("\0\0\0\0\xFF\xFF\xFF\0", 8) + Bytes(64, '\0');
}

// An icon with one image per given size, each in its own colour, built from Qt's single ones.
Bytes iconOf(const std::vector<std::pair<int, QRgb>>& images) {
    Bytes directory = Bytes("\0\0\x01\0", 4) + littleEndian(images.size(), 2), data;
    for (const auto& [size, colour] : images) {
        const Bytes single = encode(solid(size, size, colour), "ICO");
        directory += single.substr(6, 12) + littleEndian(6 + 16 * images.size() + data.size(), 4);
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

class PictureLoaderTest : public ::testing::Test {
protected:
    std::string put(const std::string& name, const Bytes& bytes) { return dir.file(name, bytes); }
    vistrel::test::TempFolder dir;
    QtPictureLoader loader;
};

TEST_F(PictureLoaderTest, ContentDecidesTheFormatWhateverTheName) {
    const Bytes bmp = encode(quadrants(8, 4), "BMP");
    std::vector<std::string> names = {
        "a.bmp",         "a.jpg",      "A.GIF",     "no suffix",
        "-a.bmp",        "café ü.bmp", " lead.bmp", "#1 [copy] (2) & 'x'.bmp",
        "headerless.dib"};
#ifndef _WIN32
    names.push_back("latin1 caf\xe9.bmp"); // not valid UTF-8
#endif
    for (const std::string& name : names) {
        const LoadResult result =
            loader.load(put(name, name.ends_with(".dib") ? bmp.substr(14) : bmp));
        ASSERT_TRUE(result.ok()) << name << ": " << result.errorText;
        EXPECT_EQ(std::pair(result.naturalWidth, result.naturalHeight), std::pair(8, 4)) << name;
        EXPECT_EQ(quadrantColours(result.image), (Quadrants{Red, Green, Blue, Yellow})) << name;
    }
    // A bitmap without its file header is read only by the .dib extension.
    for (const char* name : {"headerless.jpg", "headerless"})
        expectFailure(loader.load(put(name, bmp.substr(14))), LoadError::NotAPicture, name);
}

TEST_F(PictureLoaderTest, ExifOrientationGivesTheUprightPicture) {
    const std::tuple<int, bool, Quadrants> cases[] = {// stored: red green / blue yellow
                                                      {1, false, {Red, Green, Blue, Yellow}},
                                                      {3, false, {Yellow, Blue, Green, Red}},
                                                      {5, true, {Red, Blue, Green, Yellow}},
                                                      {6, true, {Blue, Red, Yellow, Green}},
                                                      {8, true, {Green, Yellow, Red, Blue}}};
    const Bytes jpeg = encode(quadrants(400, 200), "JPG", 95);
    for (const auto& [orientation, turned, corners] : cases) {
        SCOPED_TRACE(orientation);
        const std::string path = put("turned.jpg", withOrientation(jpeg, orientation));
        const int w = turned ? 200 : 400, h = turned ? 400 : 200;
        const LoadResult results[] = {loader.load(path), loader.loadScaled(path, 50, 50)};
        for (int scale : {1, 8}) {
            const LoadResult& result = results[scale / 8];
            ASSERT_TRUE(result.ok()) << result.errorText;
            EXPECT_EQ(std::pair(result.naturalWidth, result.naturalHeight), std::pair(w, h));
            EXPECT_EQ(std::pair(result.image.width(), result.image.height()),
                      std::pair(w / scale, h / scale));
            EXPECT_TRUE(near(quadrantColours(result.image), corners, 40));
        }
    }
}

TEST_F(PictureLoaderTest, JpegThumbnailIsTheExifOneWhenItHasTheProportionsAndCoversTheBox) {
#ifdef VISTREL_HAVE_LIBEXIF
    constexpr bool withExif = true;
#else
    constexpr bool withExif = false;
#endif
    const Quadrants picture{Red, Green, Blue, Yellow}, embedded{0xFF00FFFF, 0xFFFF00FF, 0xFFFFFFFF,
                                                                0xFF000000};
    const std::tuple<const char*, int, int, int, int, int, bool> cases[] = {
        // picture, thumbnail, orientation, thumbnail taken
        {"matching", 800, 600, 160, 120, 1, true},
        {"turned", 800, 600, 160, 120, 6, true},
        {"letterboxed", 800, 450, 160, 120, 1, false},
        {"too small", 800, 600, 80, 60, 1, false}};
    for (const auto& [what, width, height, thumbWidth, thumbHeight, orientation, taken] : cases) {
        const Bytes jpeg = withThumbnail(encode(quadrants(width, height), "JPG", 90),
                                         encode(quadrants(thumbWidth, thumbHeight, embedded), "JPG", 90),
                                         orientation);
        const LoadResult result = loader.loadScaled(put("camera.jpg", jpeg), 128, 128);
        ASSERT_TRUE(result.ok()) << what << ": " << result.errorText;
        const bool turned = orientation == 6;
        const int w = turned ? height : width, h = turned ? width : height;
        EXPECT_EQ(std::pair(result.naturalWidth, result.naturalHeight), std::pair(w, h)) << what;
        const auto fit = vistrel::core::FitInsidePixels(w, h, 128, 128);
        EXPECT_EQ(std::pair(result.image.width(), result.image.height()),
                  std::pair(fit.width, fit.height)) << what;
        const Quadrants& stored = taken && withExif ? embedded : picture;
        const Quadrants corners =
            turned ? Quadrants{stored[2], stored[0], stored[3], stored[1]} : stored;
        EXPECT_TRUE(near(quadrantColours(result.image), corners, 40)) << what;
    }
}

TEST_F(PictureLoaderTest, UnusableFilesFailNamingTheFileAndTheReason) {
    fs::create_directory(dir.path("folder.jpg"));
    const std::tuple<std::string, std::optional<Bytes>, LoadError> cases[] = {
        {"missing.jpg", std::nullopt, LoadError::NotFound},
        {"empty.jpg", Bytes(), LoadError::Empty},
        {"x.jpg", Bytes("this is a text file\n"), LoadError::NotAPicture},
        {"cut in header.jpg", encode(quadrants(64, 64), "JPG").substr(0, 200), LoadError::Damaged},
        {"folder.jpg", std::nullopt, LoadError::Unreadable}};
    for (const auto& [name, content, error] : cases) {
        const std::string path = content ? put(name, *content) : dir.path(name);
        expectFailure(loader.load(path), error, name);
        expectFailure(loader.loadScaled(path, 16, 16), error, name);
    }
    expectFailure(loader.load(dir.path("gone/a.jpg")), LoadError::NotFound, "a.jpg");
}

TEST_F(PictureLoaderTest, FileWithoutReadPermissionFails) {
    const std::string path = put("locked.bmp", encode(solid(2, 2, Red), "BMP"));
    fs::permissions(path, fs::perms::none);
    if (std::ifstream(path).good()) GTEST_SKIP() << "running with rights that ignore permissions";
    expectFailure(loader.load(path), LoadError::Unreadable, "locked.bmp");
}

TEST_F(PictureLoaderTest, DecompressionBombsAreRefusedBeforeDecodingButLargePicturesLoad) {
    // Even a JPEG's 1/8 decode is above this limit.
    const QtPictureLoader tight(64 * 1024 * 1024, nullptr);
    const std::tuple<const char*, Bytes, int> bombs[] = {{"bomb.gif", gifBomb(), Huge},
                                                         {"bomb.jpg", jpegBomb(), HugeJpeg},
                                                         {"bomb.bmp", monoBmpBomb(), LargeBmp}};
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
        loader.load(put("large.jpg", encode(solid(5000, 7000, Green), "JPG", 50)));
    ASSERT_TRUE(large.ok()) << large.errorText;
    EXPECT_TRUE(near(large.image.at(4999, 6999), Green, 8));
    // A JPEG cut short in its data shows what arrived.
    const Bytes jpeg = encode(quadrants(256, 256), "JPG", 90);
    const LoadResult cut = loader.load(put("cut.jpg", jpeg.substr(0, jpeg.size() * 3 / 4)));
    ASSERT_TRUE(cut.ok()) << cut.errorText;
    EXPECT_TRUE(near(cut.image.at(10, 10), Red, 40));
}

// A 108-megapixel phone photo: a thumbnail whatever the limit, the whole picture where the
// limit allows it, else a reduced one; other formats above the limit are refused.
TEST_F(PictureLoaderTest, BigPicturesAreLimitedByWhatTheirDecodeTakes) {
    constexpr std::int64_t MB = 1024 * 1024;
    const std::string big = put("phone.jpg", encode(quadrants(12000, 9000), "JPG", 50));

    const QtPictureLoader tight(64 * MB, nullptr); // its 1/8 decode takes 6.75 MB
    const LoadResult thumbnail = tight.loadScaled(big, 160, 120);
    ASSERT_TRUE(thumbnail.ok()) << thumbnail.errorText;
    EXPECT_EQ(std::pair(thumbnail.image.width(), thumbnail.image.height()), std::pair(160, 120));
    EXPECT_EQ(std::pair(thumbnail.naturalWidth, thumbnail.naturalHeight), std::pair(12000, 9000));

    struct Case {
        std::int64_t limit;
        int width, height, reduction;
    };
    const Case cases[] = {{500 * MB, 12000, 9000, 1}, {200 * MB, 6000, 4500, 2},
                          {64 * MB, 3000, 2250, 4}, {6 * MB, 0, 0, 0}};
    for (const Case& c : cases) {
        const LoadResult result = QtPictureLoader(c.limit, nullptr).load(big);
        if (c.reduction == 0) {
            expectFailure(result, LoadError::TooLarge, "phone.jpg");
            EXPECT_NE(result.errorText.find("12000 x 9000 pixels"), std::string::npos);
            continue;
        }
        ASSERT_TRUE(result.ok()) << c.limit << ": " << result.errorText;
        EXPECT_EQ(result.reduction, c.reduction);
        EXPECT_EQ(std::pair(result.image.width(), result.image.height()),
                  std::pair(c.width, c.height));
        EXPECT_EQ(std::pair(result.naturalWidth, result.naturalHeight), std::pair(12000, 9000));
        EXPECT_TRUE(near(quadrantColours(result.image), {Red, Green, Blue, Yellow}, 40));
    }

    // A turned photo is reduced upright.
    QImage turned = quadrants(3000, 2000);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setTransformation(QImageIOHandler::TransformationRotate90);
    ASSERT_TRUE(writer.write(turned));
    const LoadResult upright =
        QtPictureLoader(8 * MB, nullptr).load(put("turned.jpg", buffer.data().toStdString()));
    ASSERT_TRUE(upright.ok()) << upright.errorText;
    EXPECT_EQ(upright.reduction, 2);
    EXPECT_EQ(std::pair(upright.naturalWidth, upright.naturalHeight), std::pair(2000, 3000));
    EXPECT_EQ(std::pair(upright.image.width(), upright.image.height()), std::pair(1000, 1500));
    EXPECT_TRUE(near(quadrantColours(upright.image), {Blue, Red, Yellow, Green}, 40));

    // PNG cannot decode reduced: refused for the view and for the thumbnail.
    const std::string png = put("wide.png", encode(quadrants(5000, 4000), "PNG"));
    for (const LoadResult& result : {tight.load(png), tight.loadScaled(png, 160, 120)})
        expectFailure(result, LoadError::TooLarge, "wide.png");
}

TEST_F(PictureLoaderTest, APictureThatWouldNotFitIntoTheFreeMemoryIsNotDecoded) {
    const std::string jpeg = put("a.jpg", encode(quadrants(1000, 800), "JPG"));
    const std::string png = put("a.png", encode(quadrants(1000, 800), "PNG"));
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
        const LoadResult result = loader.loadScaled(
            put(std::string("scaled.") + format, encode(quadrants(width, height), format)), boxW,
            boxH);
        ASSERT_TRUE(result.ok()) << format << ": " << result.errorText;
        EXPECT_EQ(std::pair(result.naturalWidth, result.naturalHeight), std::pair(width, height));
        EXPECT_EQ(std::pair(result.image.width(), result.image.height()), std::pair(w, h))
            << format;
        EXPECT_TRUE(w < 8 || h < 8 || near(quadrantColours(result.image)[3], Yellow, 40)) << format;
    }
    QImage checkers(200, 200, QImage::Format_RGB32);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x)
            checkers.setPixel(x, y, (x + y) % 2 ? 0xFFFFFFFF : 0xFF000000);
    const LoadResult result =
        loader.loadScaled(put("checkers.png", encode(checkers, "PNG")), 70, 70);
    ASSERT_TRUE(result.ok()) << result.errorText;
    EXPECT_TRUE(near(result.image.at(35, 35), 0xFF808080, 40))
        << std::hex << result.image.at(35, 35);
}

TEST_F(PictureLoaderTest, TransparencyIsComposedOverWhite) {
    const QRgb pixels[] = {0xFFFF0000, 0x00000000, 0x80000000, 0x400000FF, 0xC0FF8000};
    QImage picture(5, 1, QImage::Format_ARGB32);
    for (int x = 0; x < 5; ++x)
        picture.setPixel(x, 0, pixels[x]);
    const LoadResult result = loader.load(put("alpha.png", encode(picture, "PNG")));
    ASSERT_TRUE(result.ok()) << result.errorText;
    for (int x = 0; x < 5; ++x) {
        const QRgb p = pixels[x], got = result.image.at(x, 0);
        EXPECT_TRUE(near(got, overWhite(qRed(p), qGreen(p), qBlue(p), qAlpha(p)), 1))
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
    const std::vector<std::string> paths = {put("a.jpg", encode(quadrants(900, 600), "JPG")),
                                            put("b.png", encode(quadrants(300, 700), "PNG")),
                                            put("c.bmp", encode(quadrants(50, 50), "BMP"))};
    std::vector<Image> expected;
    for (const auto& path : paths)
        expected.push_back(loader.loadScaled(path, 100, 100).image);
    std::vector<std::vector<LoadResult>> got(4);
    std::vector<std::thread> workers;
    for (auto& results : got)
        workers.emplace_back([&] {
            for (int i = 0; i < 5 * 3; ++i)
                results.push_back(loader.loadScaled(paths[i % 3], 100, 100));
        });
    for (auto& worker : workers)
        worker.join();
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
    const fs::path folder = vistrel::test::CorporaRoot() / GetParam().folder;
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
        const std::pair natural(result.naturalWidth, result.naturalHeight);
        EXPECT_EQ(std::pair(result.image.width(), result.image.height()), natural) << name;
        EXPECT_EQ(std::pair(thumb.naturalWidth, thumb.naturalHeight), natural) << name;
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

// Each case's .conf gives the picture's size and its first frame as raw RGBA.
TEST(PictureLoaderCorpusGif, FirstFrameMatchesTheReference) {
    const fs::path folder = vistrel::test::CorporaRoot() / "gif-pygif";
    if (!fs::is_directory(folder)) GTEST_SKIP() << "picture corpus not present: " << folder;
    // Where the reader and the reference part ways. The reference composes every image block
    // before the first delay into frame 0, where the reader shows the first block alone; and
    // it leaves pixels no block covers transparent, where the reader fills in the background
    // colour, as the format has it.
    const std::set<std::string> differing{
        "dispose-restore-previous.gif", "high-color.gif", "images-combine.gif",
        "images-overlap.gif", // first block only
        "dispose-restore-background.gif", "missing-pixels.gif"}; // background colour
    const auto readBytes = [](const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return Bytes{std::istreambuf_iterator<char>(in), {}};
    };
    QtPictureLoader loader;
    int compared = 0;
    std::set<std::string> mismatching;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() != ".conf") continue;
        std::map<std::string, std::string> conf;
        std::istringstream lines(readBytes(entry.path()));
        std::string section, line;
        while (std::getline(lines, line)) {
            if (line.starts_with("[")) section = line.substr(1, line.find(']') - 1);
            const auto eq = line.find(" = ");
            if (eq != std::string::npos && (section == "config" || section == "frame0"))
                conf[section + "." + line.substr(0, eq)] = line.substr(eq + 3);
        }
        const std::string input = conf["config.input"];
        const LoadResult result = loader.load((folder / input).string());
        if (!result.ok() || !conf.count("frame0.pixels")) continue;
        ++compared;
        const int w = std::stoi(conf["config.width"]), h = std::stoi(conf["config.height"]);
        const bool sameSize =
            std::pair(result.naturalWidth, result.naturalHeight) == std::pair(w, h);
        EXPECT_TRUE(sameSize) << input << ": " << result.naturalWidth << " x "
                              << result.naturalHeight;
        const Bytes rgba = readBytes(folder / conf["frame0.pixels"]);
        ASSERT_EQ(rgba.size(), std::size_t(w) * h * 4) << conf["frame0.pixels"];
        if (!sameSize) continue;
        int wrong = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const std::size_t at = (std::size_t(y) * w + x) * 4;
                const auto c = [&](int k) { return int((unsigned char)rgba[at + k]); };
                wrong += !near(result.image.at(x, y), overWhite(c(0), c(1), c(2), c(3)), 1);
            }
        if (wrong) {
            std::cout << "  " << input << ": " << wrong << " pixels differ\n";
            mismatching.insert(input);
        }
    }
    std::cout << "gif-pygif: " << compared << " compared, " << mismatching.size()
              << " with other pixels\n";
    RecordProperty("compared", compared);
    EXPECT_GT(compared, 0);
    EXPECT_EQ(mismatching, differing);
}

} // namespace
