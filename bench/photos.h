#pragma once

#include <QColor>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace vistrel::bench {

// Deterministic photo-like pictures.

// splitmix64: tiny, fast, and the same sequence everywhere.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : m_state(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    double uniform() { return (next() >> 11) * (1.0 / 9007199254740992.0); }
    double range(double lo, double hi) { return lo + (hi - lo) * uniform(); }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }

private:
    std::uint64_t m_state;
};

inline QColor RandomColour(Rng& rng, int alpha) {
    return QColor(rng.below(256), rng.below(256), rng.below(256), alpha);
}

// Smooth light falling across the frame, soft shapes, and sensor-like grain on top: JPEG
// sizes then come out close to those of camera pictures of the same size.
inline QImage MakePhoto(int width, int height, std::uint64_t seed, double grain) {
    Rng rng(seed);
    QImage image(width, height, QImage::Format_RGB32);

    // Background: per channel a sum of slow waves along x and along y (separable, so cheap).
    std::vector<float> across[3], down[3];
    for (int c = 0; c < 3; ++c) {
        across[c].resize(static_cast<std::size_t>(width));
        down[c].resize(static_cast<std::size_t>(height));
        const double base = rng.range(70, 180);
        const double ax = rng.range(15, 45), fx = rng.range(0.5, 2.5), px = rng.range(0, 6.3);
        const double ay = rng.range(20, 55), fy = rng.range(0.3, 1.8), py = rng.range(0, 6.3);
        const double ay2 = rng.range(5, 15), fy2 = rng.range(3, 7), py2 = rng.range(0, 6.3);
        for (int x = 0; x < width; ++x)
            across[c][static_cast<std::size_t>(x)] =
                static_cast<float>(base + ax * std::cos(6.2832 * fx * x / width + px));
        for (int y = 0; y < height; ++y)
            down[c][static_cast<std::size_t>(y)] =
                static_cast<float>(ay * std::cos(6.2832 * fy * y / height + py) +
                                   ay2 * std::cos(6.2832 * fy2 * y / height + py2));
    }
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            int v[3];
            for (int c = 0; c < 3; ++c)
                v[c] = std::clamp(static_cast<int>(across[c][static_cast<std::size_t>(x)] +
                                                   down[c][static_cast<std::size_t>(y)]),
                                  0, 255);
            row[x] = qRgb(v[0], v[1], v[2]);
        }
    }

    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        const double unit = std::min(width, height);
        const int shapes = 30 + rng.below(25);
        for (int i = 0; i < shapes; ++i) {
            const double size = unit * rng.range(0.03, 0.35);
            const QRectF box(rng.range(-0.1, 1.0) * width, rng.range(-0.1, 1.0) * height,
                             size * rng.range(0.5, 2.0), size * rng.range(0.5, 2.0));
            const int alpha = 150 + rng.below(106);
            if (rng.below(2)) {
                QRadialGradient fill(box.center(), std::max(box.width(), box.height()) / 2);
                fill.setColorAt(0, RandomColour(rng, alpha));
                fill.setColorAt(1, RandomColour(rng, alpha));
                painter.setBrush(fill);
            } else {
                QLinearGradient fill(box.topLeft(), box.bottomRight());
                fill.setColorAt(0, RandomColour(rng, alpha));
                fill.setColorAt(1, RandomColour(rng, alpha));
                painter.setBrush(fill);
            }
            switch (rng.below(3)) {
            case 0:
                painter.drawEllipse(box);
                break;
            case 1:
                painter.drawRoundedRect(box, size * 0.1, size * 0.1);
                break;
            default: {
                QPainterPath path;
                path.moveTo(box.left() + rng.uniform() * box.width(), box.top());
                for (int k = 0; k < 4; ++k)
                    path.lineTo(box.left() + rng.uniform() * box.width(),
                                box.top() + rng.uniform() * box.height());
                path.closeSubpath();
                painter.drawPath(path);
            }
            }
        }
    }

    // Grain: triangular noise, mostly in brightness, a little in colour.
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const std::uint64_t bits = rng.next();
            const auto field = [&](int shift) { return static_cast<int>((bits >> shift) & 0xFFFF); };
            const double luma = ((field(0) + field(16)) / 65535.0 - 1.0) * grain;
            const double chroma = (field(32) / 65535.0 - 0.5) * grain * 0.5;
            const double chroma2 = (field(48) / 65535.0 - 0.5) * grain * 0.5;
            const QRgb p = row[x];
            const auto clamp = [](double v) { return std::clamp(static_cast<int>(v), 0, 255); };
            row[x] = qRgb(clamp(qRed(p) + luma + chroma), clamp(qGreen(p) + luma),
                          clamp(qBlue(p) + luma + chroma2));
        }
    }
    return image;
}

} // namespace vistrel::bench
