#include <QBuffer>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>
#include <thread>
#include <tuple>
#include <vector>

#include "qt/platform/imageconvert.h"
#include "qt/platform/qtpictureloader.h"

namespace {

namespace fs = std::filesystem;
using vistrel::core::Image;
using vistrel::core::LoadError;
using vistrel::core::LoadResult;
using vistrel::qt::QtPictureLoader;

using Bytes = std::string;

constexpr QRgb Red = 0xFFFF0000, Green = 0xFF00FF00, Blue = 0xFF0000FF, Yellow = 0xFFFFFF00;

Bytes readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeBytes(const fs::path& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::ssize(bytes));
}

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
QImage quadrants(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y,
                           y < height / 2 ? (x < width / 2 ? Red : Green)
                                          : (x < width / 2 ? Blue : Yellow));
    return image;
}

bool near(QRgb a, QRgb b, int tolerance) {
    return std::abs(qRed(a) - qRed(b)) <= tolerance &&
           std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

// A colour with alpha as it looks in front of white.
QRgb overWhite(int red, int green, int blue, int alpha) {
    const double a = alpha / 255.0;
    const auto over = [&](int c) { return int(c * a + 255 * (1 - a) + 0.5); };
    return qRgb(over(red), over(green), over(blue));
}

// Colours at the centres of the four quadrants: top left, top right, bottom left, bottom right.
std::array<QRgb, 4> quadrantColours(const Image& image) {
    const int w = image.width(), h = image.height();
    return {image.at(w / 4, h / 4), image.at(3 * w / 4, h / 4), image.at(w / 4, 3 * h / 4),
            image.at(3 * w / 4, 3 * h / 4)};
}

// Puts an EXIF block with just the orientation tag right after the JPEG's start marker.
Bytes withOrientation(const Bytes& jpeg, int orientation) {
    const Bytes tiff = Bytes("MM\0\x2A\0\0\0\x08", 8) +
                       Bytes("\0\x01\x01\x12\0\x03\0\0\0\x01", 10) + char(0) + char(orientation) +
                       Bytes(2, '\0') + Bytes(4, '\0');
    const Bytes payload = Bytes("Exif\0\0", 6) + tiff;
    const auto length = payload.size() + 2;
    return jpeg.substr(0, 2) + "\xFF\xE1" + char(length >> 8) + char(length & 0xFF) + payload +
           jpeg.substr(2);
}

std::uint32_t crc32(const Bytes& bytes) {
    std::uint32_t crc = 0xFFFFFFFF;
    for (unsigned char byte : bytes) {
        crc ^= byte;
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
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

// Small files whose headers claim 30000 x 30000 pixels (3.6 GB decoded).
constexpr int Huge = 30000;

Bytes pngBomb() {
    Bytes png = encode(solid(1, 1, Red), "PNG");
    const Bytes ihdr = "IHDR" + bigEndian(Huge, 4) + bigEndian(Huge, 4) + png.substr(24, 5);
    return png.substr(0, 12) + ihdr + bigEndian(crc32(ihdr), 4) + png.substr(33);
}

Bytes gifBomb() {
    return Bytes("GIF89a") + littleEndian(Huge, 2) + littleEndian(Huge, 2) +
           Bytes("\x80\0\0\0\0\0\xFF\xFF\xFF", 9) + Bytes("\x2C\0\0\0\0\x01\0\x01\0\0", 10) +
           Bytes("\x02\x02\x44\x01\0\x3B", 6);
}

Bytes jpegBomb() {
    Bytes jpeg = encode(solid(8, 8, Red), "JPG");
    const auto sof = jpeg.find("\xFF\xC0");
    return jpeg.replace(sof + 5, 4, bigEndian(Huge, 2) + bigEndian(Huge, 2));
}

// One bit a pixel: 32 MB in Qt's own format, within Qt's limit; 1 GB once converted.
constexpr int LargeBmp = 16000;

Bytes monoBmpBomb() {
    const Bytes info = littleEndian(40, 4) + littleEndian(LargeBmp, 4) + littleEndian(LargeBmp, 4) +
                       littleEndian(1, 2) + littleEndian(1, 2) + Bytes(16, '\0') +
                       littleEndian(2, 4) + Bytes(4, '\0');
    const Bytes palette = Bytes("\0\0\0\0\xFF\xFF\xFF\0", 8);
    const Bytes data(64, '\0');
    return "BM" + littleEndian(14 + 40 + 8 + 64, 4) + Bytes(4, '\0') + littleEndian(62, 4) + info +
           palette + data;
}

// An icon with one image per given size, each in its own colour, built from Qt's single ones.
Bytes iconOf(const std::vector<std::pair<int, QRgb>>& images) {
    Bytes directory = Bytes("\0\0\x01\0", 4) + littleEndian(images.size(), 2), data;
    std::uint32_t offset = 6 + 16 * images.size();
    for (const auto& [size, colour] : images) {
        const Bytes single = encode(solid(size, size, colour), "ICO");
        const Bytes body = single.substr(6 + 16);
        directory += single.substr(6, 12) + littleEndian(offset + data.size(), 4);
        data += body;
    }
    return directory + data;
}

class PictureLoaderTest : public ::testing::Test {
protected:
    // QTemporaryDir cannot remove names that are not valid UTF-8.
    ~PictureLoaderTest() override {
        std::error_code ignored;
        fs::remove_all(m_dir.path().toStdString(), ignored);
    }
    fs::path file(const std::string& name) const {
        return fs::path(m_dir.path().toStdString()) / name;
    }
    std::string put(const std::string& name, const Bytes& bytes) const {
        writeBytes(file(name), bytes);
        return file(name).string();
    }

    QTemporaryDir m_dir;
    QtPictureLoader m_loader;
};

void expectFailure(const LoadResult& result, LoadError error, const std::string& name) {
    EXPECT_FALSE(result.ok()) << name;
    EXPECT_EQ(result.error, error) << name << ": " << result.errorText;
    EXPECT_TRUE(result.image.isNull()) << name;
    EXPECT_NE(result.errorText.find(name), std::string::npos) << result.errorText;
}

TEST_F(PictureLoaderTest, ContentDecidesTheFormatWhateverTheName) {
    QImage picture(3, 2, QImage::Format_RGB32);
    const QRgb colours[] = {Red, Green, Blue, Yellow, 0xFF123456, 0xFFFFFFFF};
    for (int i = 0; i < 6; ++i)
        picture.setPixel(i % 3, i / 3, colours[i]);
    const Bytes bmp = encode(picture, "BMP");
    std::vector<std::string> names = {"a.bmp",      "a.dib",     "a.jpg",
                                      "A.GIF",      "no suffix", "-a.bmp",
                                      "café ü.bmp", " lead.bmp", "#1 [copy] (2) & 'x'.bmp"};
#ifndef _WIN32
    names.push_back("latin1 caf\xe9.bmp"); // not valid UTF-8
#endif
    for (const std::string& name : names) {
        const LoadResult result = m_loader.load(put(name, bmp));
        ASSERT_TRUE(result.ok()) << name << ": " << result.errorText;
        EXPECT_EQ(result.naturalWidth, 3);
        EXPECT_EQ(result.naturalHeight, 2);
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(result.image.at(i % 3, i / 3), colours[i]) << name;
    }
}

TEST_F(PictureLoaderTest, HeaderlessBitmapLoadsOnlyByTheDibExtension) {
    const Bytes dib = encode(quadrants(8, 4), "BMP").substr(14);
    const LoadResult result = m_loader.load(put("plain.dib", dib));
    ASSERT_TRUE(result.ok()) << result.errorText;
    EXPECT_EQ(quadrantColours(result.image), (std::array<QRgb, 4>{Red, Green, Blue, Yellow}));
    for (const char* name : {"plain.jpg", "plain"})
        expectFailure(m_loader.load(put(name, dib)), LoadError::NotAPicture, name);
}

TEST_F(PictureLoaderTest, ExifOrientationGivesTheUprightPicture) {
    struct Case {
        int orientation;
        bool turned;
        std::array<QRgb, 4> corners; // stored quadrants: red green / blue yellow
    } cases[] = {
        {1, false, {Red, Green, Blue, Yellow}}, {3, false, {Yellow, Blue, Green, Red}},
        {5, true, {Red, Blue, Green, Yellow}},  {6, true, {Blue, Red, Yellow, Green}},
        {8, true, {Green, Yellow, Red, Blue}},
    };
    const Bytes jpeg = encode(quadrants(400, 200), "JPG", 95);
    for (const Case& c : cases) {
        const std::string path = put("turned.jpg", withOrientation(jpeg, c.orientation));
        const int w = c.turned ? 200 : 400, h = c.turned ? 400 : 200;
        const LoadResult full = m_loader.load(path);
        const LoadResult thumb = m_loader.loadScaled(path, 50, 50);
        for (const LoadResult* result : {&full, &thumb}) {
            ASSERT_TRUE(result->ok()) << result->errorText;
            EXPECT_EQ(result->naturalWidth, w) << c.orientation;
            EXPECT_EQ(result->naturalHeight, h) << c.orientation;
            const auto corners = quadrantColours(result->image);
            for (int q = 0; q < 4; ++q)
                EXPECT_TRUE(near(corners[q], c.corners[q], 40))
                    << "orientation " << c.orientation << " quadrant " << q << " " << std::hex
                    << corners[q];
        }
        EXPECT_EQ(full.image.width(), w);
        EXPECT_EQ(thumb.image.width(), c.turned ? 25 : 50);
        EXPECT_EQ(thumb.image.height(), c.turned ? 50 : 25);
    }
}

TEST_F(PictureLoaderTest, UnusableFilesFailNamingTheFileAndTheReason) {
    const Bytes jpeg = encode(quadrants(64, 64), "JPG");
    fs::create_directory(file("folder.jpg"));
    struct Case {
        std::string name;
        std::optional<Bytes> content;
        LoadError error;
    } cases[] = {
        {"missing.jpg", std::nullopt, LoadError::NotFound},
        {"empty.jpg", Bytes(), LoadError::Empty},
        {"x.jpg", Bytes("this is a text file\n"), LoadError::NotAPicture},
        {"cut in header.jpg", jpeg.substr(0, 200), LoadError::Damaged},
        {"folder.jpg", std::nullopt, LoadError::Unreadable},
    };
    for (const Case& c : cases) {
        const std::string path = c.content ? put(c.name, *c.content) : file(c.name).string();
        expectFailure(m_loader.load(path), c.error, c.name);
        expectFailure(m_loader.loadScaled(path, 16, 16), c.error, c.name);
    }
    expectFailure(m_loader.load(file("gone/a.jpg").string()), LoadError::NotFound, "a.jpg");
}

TEST_F(PictureLoaderTest, FileWithoutReadPermissionFails) {
    const std::string path = put("locked.bmp", encode(solid(2, 2, Red), "BMP"));
    fs::permissions(path, fs::perms::none);
    const bool readable = std::ifstream(path).good();
    if (!readable) expectFailure(m_loader.load(path), LoadError::Unreadable, "locked.bmp");
    fs::permissions(path, fs::perms::owner_all);
    if (readable) GTEST_SKIP() << "running with rights that ignore permissions";
}

TEST_F(PictureLoaderTest, JpegCutShortInItsDataShowsWhatArrived) {
    const Bytes jpeg = encode(quadrants(256, 256), "JPG", 90);
    const LoadResult result = m_loader.load(put("cut.jpg", jpeg.substr(0, jpeg.size() * 3 / 4)));
    ASSERT_TRUE(result.ok()) << result.errorText;
    EXPECT_EQ(result.naturalWidth, 256);
    EXPECT_TRUE(near(result.image.at(10, 10), Red, 40));
}

TEST_F(PictureLoaderTest, DecompressionBombsAreRefusedBeforeDecoding) {
    const std::tuple<const char*, Bytes, int> bombs[] = {{"bomb.png", pngBomb(), Huge},
                                                         {"bomb.gif", gifBomb(), Huge},
                                                         {"bomb.jpg", jpegBomb(), Huge},
                                                         {"bomb.bmp", monoBmpBomb(), LargeBmp}};
    for (const auto& [name, bytes, side] : bombs) {
        const std::string path = put(name, bytes);
        const std::string size = std::to_string(side) + " x " + std::to_string(side) + " pixels";
        for (const LoadResult& result :
             {m_loader.load(path), m_loader.loadScaled(path, 160, 120)}) {
            expectFailure(result, LoadError::TooLarge, name);
            EXPECT_NE(result.errorText.find(size), std::string::npos) << result.errorText;
            EXPECT_EQ(result.naturalWidth, side) << name;
        }
    }
}

TEST_F(PictureLoaderTest, LargePictureBelowTheLimitLoads) {
    // 140 MB decoded: above Qt's default allocation limit of 128 MB.
    const std::string path = put("large.jpg", encode(solid(5000, 7000, Green), "JPG", 50));
    const LoadResult result = m_loader.load(path);
    ASSERT_TRUE(result.ok()) << result.errorText;
    EXPECT_EQ(result.image.width(), 5000);
    EXPECT_TRUE(near(result.image.at(4999, 6999), Green, 8));
}

TEST_F(PictureLoaderTest, ScaledDecodeFitsTheBoxKeepingProportions) {
    struct Case {
        const char* format;
        int width, height, boxWidth, boxHeight;
    } cases[] = {
        {"JPG", 4000, 3000, 160, 120}, {"JPG", 3000, 4000, 160, 120}, {"PNG", 1000, 10, 160, 120},
        {"PNG", 100, 50, 160, 120},    {"BMP", 301, 199, 64, 64},     {"PPM", 90, 700, 50, 500},
    };
    for (const Case& c : cases) {
        const std::string path =
            put(std::string("scaled.") + c.format, encode(quadrants(c.width, c.height), c.format));
        const LoadResult result = m_loader.loadScaled(path, c.boxWidth, c.boxHeight);
        ASSERT_TRUE(result.ok()) << c.format << ": " << result.errorText;
        EXPECT_EQ(result.naturalWidth, c.width);
        EXPECT_EQ(result.naturalHeight, c.height);
        const int w = result.image.width(), h = result.image.height();
        SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h));
        EXPECT_TRUE(w <= c.boxWidth && h <= c.boxHeight);
        EXPECT_TRUE(w == std::min(c.width, c.boxWidth) || h == std::min(c.height, c.boxHeight));
        // One factor for both sides, set by the side that touches the box.
        const double factor = w == c.boxWidth    ? double(w) / c.width
                              : h == c.boxHeight ? double(h) / c.height
                                                 : 1.0;
        EXPECT_NEAR(w, c.width * factor, 1);
        EXPECT_NEAR(h, c.height * factor, 1);
        if (w >= 8 && h >= 8) {
            EXPECT_TRUE(near(quadrantColours(result.image)[3], Yellow, 40)) << c.format;
        }
    }
}

TEST_F(PictureLoaderTest, ScaledDecodeIsSmooth) {
    QImage checkers(200, 200, QImage::Format_RGB32);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x)
            checkers.setPixel(x, y, (x + y) % 2 ? 0xFFFFFFFF : 0xFF000000);
    const LoadResult result =
        m_loader.loadScaled(put("checkers.png", encode(checkers, "PNG")), 70, 70);
    ASSERT_TRUE(result.ok()) << result.errorText;
    EXPECT_TRUE(near(result.image.at(35, 35), 0xFF808080, 40))
        << std::hex << result.image.at(35, 35);
}

TEST_F(PictureLoaderTest, TransparencyIsComposedOverWhite) {
    const QRgb pixels[] = {0xFFFF0000, 0x00000000, 0x80000000, 0x400000FF, 0xC0FF8000};
    QImage picture(5, 1, QImage::Format_ARGB32);
    for (int x = 0; x < 5; ++x)
        picture.setPixel(x, 0, pixels[x]);
    const LoadResult result = m_loader.load(put("alpha.png", encode(picture, "PNG")));
    ASSERT_TRUE(result.ok()) << result.errorText;
    for (int x = 0; x < 5; ++x) {
        const QRgb p = pixels[x];
        const QRgb expected = overWhite(qRed(p), qGreen(p), qBlue(p), qAlpha(p));
        EXPECT_TRUE(near(result.image.at(x, 0), expected, 1))
            << x << " " << std::hex << result.image.at(x, 0);
        EXPECT_EQ(result.image.at(x, 0) >> 24, 0xFFu);
    }
}

TEST_F(PictureLoaderTest, IconShowsItsLargestImage) {
    const std::string path = put("app.ico", iconOf({{16, Red}, {48, Green}, {32, Blue}}));
    const LoadResult full = m_loader.load(path);
    ASSERT_TRUE(full.ok()) << full.errorText;
    EXPECT_EQ(full.image.width(), 48);
    EXPECT_TRUE(near(full.image.at(24, 24), Green, 0));
    const LoadResult thumb = m_loader.loadScaled(path, 24, 24);
    ASSERT_TRUE(thumb.ok()) << thumb.errorText;
    EXPECT_EQ(thumb.naturalWidth, 48);
    EXPECT_EQ(thumb.image.width(), 24);
    EXPECT_TRUE(near(thumb.image.at(12, 12), Green, 0));
}

TEST_F(PictureLoaderTest, ConcurrentLoadsGiveTheSameResults) {
    const std::vector<std::string> paths = {put("a.jpg", encode(quadrants(900, 600), "JPG")),
                                            put("b.png", encode(quadrants(300, 700), "PNG")),
                                            put("c.bmp", encode(quadrants(50, 50), "BMP"))};
    std::vector<LoadResult> expected;
    for (const auto& path : paths)
        expected.push_back(m_loader.loadScaled(path, 100, 100));
    std::vector<std::vector<LoadResult>> got(4);
    std::vector<std::thread> workers;
    for (auto& results : got)
        workers.emplace_back([&] {
            for (int round = 0; round < 5; ++round)
                for (const auto& path : paths)
                    results.push_back(m_loader.loadScaled(path, 100, 100));
        });
    for (auto& worker : workers)
        worker.join();
    for (const auto& results : got)
        for (std::size_t i = 0; i < results.size(); ++i)
            EXPECT_TRUE(results[i].ok() && results[i].image == expected[i % paths.size()].image)
                << paths[i % paths.size()] << ": " << results[i].errorText;
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

fs::path corporaRoot() {
    const char* root = std::getenv("VISTREL_CORPORA");
    return root && *root ? fs::path(root) : fs::path(VISTREL_CORPORA_DIR);
}

struct CorpusRun {
    int ok = 0;
    int failed = 0;
};

// Every file of the folder, or only those with the given extension.
CorpusRun loadCorpus(const fs::path& folder, const std::string& extension) {
    QtPictureLoader loader;
    CorpusRun run;
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.is_regular_file() && (extension.empty() || entry.path().extension() == extension))
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    for (const fs::path& path : files) {
        const std::string name = path.filename().string();
        const LoadResult result = loader.load(path.string());
        const LoadResult thumb = loader.loadScaled(path.string(), 64, 64);
        if (result.ok()) {
            ++run.ok;
            EXPECT_EQ(result.image.width(), result.naturalWidth) << name;
            EXPECT_EQ(result.image.height(), result.naturalHeight) << name;
            EXPECT_TRUE(thumb.ok()) << name << ": " << thumb.errorText;
            EXPECT_EQ(thumb.naturalWidth, result.naturalWidth) << name;
            EXPECT_EQ(thumb.naturalHeight, result.naturalHeight) << name;
            EXPECT_LE(thumb.image.width(), 64) << name;
            EXPECT_LE(thumb.image.height(), 64) << name;
        } else {
            ++run.failed;
            std::cout << "  " << result.errorText << "\n";
            EXPECT_NE(result.errorText.find(name), std::string::npos) << result.errorText;
            EXPECT_FALSE(thumb.ok()) << name;
        }
    }
    return run;
}

struct Corpus {
    const char* folder;
    const char* extension; // empty: every file
};

void PrintTo(const Corpus& corpus, std::ostream* out) {
    *out << corpus.folder;
}

class PictureLoaderCorpus : public ::testing::TestWithParam<Corpus> {};

TEST_P(PictureLoaderCorpus, EveryFileLoadsOrFailsClearly) {
    const fs::path folder = corporaRoot() / GetParam().folder;
    if (!fs::is_directory(folder)) GTEST_SKIP() << "picture corpus not present: " << folder;
    const CorpusRun run = loadCorpus(folder, GetParam().extension);
    std::cout << GetParam().folder << ": " << run.ok << " ok, " << run.failed << " failed\n";
    RecordProperty("ok", run.ok);
    RecordProperty("failed", run.failed);
    if (std::string(GetParam().folder) == "bmpsuite/g") {
        EXPECT_EQ(run.failed, 0);
    }
    EXPECT_GT(run.ok, 0);
}

INSTANTIATE_TEST_SUITE_P(PictureLoader, PictureLoaderCorpus,
                         ::testing::Values(Corpus{"bmpsuite/g", ""}, Corpus{"bmpsuite/q", ""},
                                           Corpus{"jpeg-testimages", ""},
                                           Corpus{"ico-image-rs/ico/images", ""},
                                           Corpus{"gif-pygif", ".gif"}),
                         [](const auto& info) {
                             std::string name = info.param.folder;
                             std::replace_if(
                                 name.begin(), name.end(),
                                 [](char c) { return !std::isalnum((unsigned char)c); }, '_');
                             return name;
                         });

// Each case's .conf gives the picture's size and its first frame as raw RGBA.
TEST(PictureLoaderCorpusGif, FirstFrameMatchesTheReference) {
    const fs::path folder = corporaRoot() / "gif-pygif";
    if (!fs::is_directory(folder)) GTEST_SKIP() << "picture corpus not present: " << folder;
    QtPictureLoader loader;
    int compared = 0, sizeMismatches = 0, pixelMismatches = 0;
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
        const LoadResult result = loader.load((folder / conf["config.input"]).string());
        if (!result.ok() || !conf.count("frame0.pixels")) continue;
        ++compared;
        const int w = std::stoi(conf["config.width"]), h = std::stoi(conf["config.height"]);
        if (result.naturalWidth != w || result.naturalHeight != h) {
            ++sizeMismatches;
            ADD_FAILURE() << conf["config.input"] << ": " << result.naturalWidth << " x "
                          << result.naturalHeight << ", expected " << w << " x " << h;
            continue;
        }
        const Bytes rgba = readBytes(folder / conf["frame0.pixels"]);
        if (rgba.size() != std::size_t(w) * h * 4) continue;
        int wrong = 0;
        for (int i = 0; i < w * h; ++i) {
            const auto c = [&](int k) { return int((unsigned char)rgba[4 * i + k]); };
            wrong += !near(result.image.at(i % w, i / w), overWhite(c(0), c(1), c(2), c(3)), 1);
        }
        if (wrong) {
            ++pixelMismatches;
            std::cout << "  " << conf["config.input"] << ": " << wrong << " pixels differ\n";
        }
    }
    std::cout << "gif-pygif: " << compared << " compared, " << sizeMismatches << " of other size, "
              << pixelMismatches << " with other pixels\n";
    RecordProperty("compared", compared);
    RecordProperty("pixelMismatches", pixelMismatches);
    EXPECT_GT(compared, 0);
}

} // namespace
