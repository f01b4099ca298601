#pragma once

#include <QBuffer>
#include <QImage>
#include <QImageWriter>

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "core/editing/image.h"

// Pictures made in memory for the loader tests, and the bytes around them.
namespace vistrel::test {

using Bytes = std::string;
using Quadrants = std::array<QRgb, 4>;

constexpr QRgb Red = 0xFFFF0000, Green = 0xFF00FF00, Blue = 0xFF0000FF, Yellow = 0xFFFFFF00,
               White = 0xFFFFFFFF;
constexpr Quadrants Upright{Red, Green, Blue, Yellow};

inline Bytes Encode(const QImage& image, const char* format, int quality = -1,
                    QImageIOHandler::Transformations transformation = {}) {
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(quality);
    writer.setTransformation(transformation);
    EXPECT_TRUE(writer.write(image)) << format << ": " << writer.errorString().toStdString();
    return data.toStdString();
}

inline QImage Solid(int width, int height, QRgb colour) {
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

// Quadrants red, green (top) and blue, yellow (bottom): any turn or mirror moves them.
inline QImage QuadrantPicture(int width, int height, const Quadrants& colours = Upright) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, colours[(y < height / 2 ? 0 : 2) + (x < width / 2 ? 0 : 1)]);
    return image;
}

// Colours at the centres of the four quadrants: top left, top right, bottom left, bottom right.
inline Quadrants QuadrantColours(const core::Image& image) {
    const int w = image.width(), h = image.height();
    return {image.at(w / 4, h / 4), image.at(3 * w / 4, h / 4), image.at(w / 4, 3 * h / 4),
            image.at(3 * w / 4, 3 * h / 4)};
}

inline bool Near(QRgb a, QRgb b, int tolerance) {
    return std::abs(qRed(a) - qRed(b)) <= tolerance &&
           std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

inline bool Near(const Quadrants& a, const Quadrants& b, int tolerance) {
    for (std::size_t i = 0; i < a.size(); ++i)
        if (!Near(a[i], b[i], tolerance)) return false;
    return true;
}

// A colour with alpha as it looks in front of white.
inline QRgb OverWhite(int red, int green, int blue, int alpha) {
    const auto over = [&](int c) {
        return int(c * alpha / 255.0 + 255 * (1 - alpha / 255.0) + 0.5);
    };
    return qRgb(over(red), over(green), over(blue));
}

inline Bytes BigEndian(std::uint32_t v, int n) {
    Bytes out;
    for (int i = n - 1; i >= 0; --i) out += char((v >> (8 * i)) & 0xFF);
    return out;
}

inline Bytes LittleEndian(std::uint32_t v, int n) {
    const Bytes out = BigEndian(v, n);
    return {out.rbegin(), out.rend()};
}

inline Bytes ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in.good()) << path;
    return {std::istreambuf_iterator<char>(in), {}};
}

} // namespace vistrel::test
