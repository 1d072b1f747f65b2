#pragma once

// What the program's window must show, built from the painted bitmaps and the
// stored twips, never from the runtime's own drawing: the scene from its
// top-left corner, each shown horse's pose scaled by nearest pixel into its
// box. The buttons' boxes are the style's and are left out.

#include "qt_support.h"

#include <QImage>
#include <QRect>

#include <cmath>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace zelk::tests {

// Twips to client pixels, 15 to a pixel, to the nearest pixel.
inline int pixels(int twips) { return int(std::floor(twips / 15.0 + 0.5)); }

inline QRect pixelBox(int left, int top, int width, int height) {
    return QRect(pixels(left), pixels(top), pixels(width), pixels(height));
}

// Stored twips of the buttons and the pictures.
inline const QRect kCommand1Box = pixelBox(120, 240, 1215, 495);
inline const QRect kCommand2Box = pixelBox(120, 1200, 1215, 495);
inline constexpr int kPictureSide = 2295;

struct Pose {
    const char* name;
    const char* bitmap;
    int top;  // twips
};
inline const Pose kPoses[] = {{"Img1", "/img1.bmp", 2520}, {"Img2", "/img2.bmp", 2600}, {"Img3", "/img3.bmp", 2600}};

inline const Pose& pose(const std::string& name) {
    for (const Pose& p : kPoses)
        if (name == p.name) return p;
    throw std::out_of_range(name);
}

inline QRect poseBox(const std::string& name, int left) {
    return pixelBox(left, pose(name).top, kPictureSide, kPictureSide);
}

inline const QImage& painted(const std::string& bitmap) {
    static std::map<std::string, QImage> cache;
    auto [it, fresh] = cache.try_emplace(bitmap);
    if (fresh) it->second = paintedBitmap(ZELK_ART_DIR + bitmap);
    return it->second;
}

inline std::string rgb(QRgb c) {
    return "(" + std::to_string(qRed(c)) + ", " + std::to_string(qGreen(c)) + ", " + std::to_string(qBlue(c)) + ")";
}

// The picture pixels that box pixel u of a stretched picture may show: the one
// under the box pixel's centre, (u + 1/2) * size / side, and its neighbour
// where that centre lies within a hundredth of a picture pixel of their
// common edge, which rounding in the scaler may put on either side.
inline std::vector<int> samples(int u, int size, int side) {
    const int centre = (2 * u + 1) * size;  // in units of 1 / (2 * side) picture pixel
    const int at = centre / (2 * side), rest = centre % (2 * side);
    std::vector<int> s{at};
    if (rest * 100 < 2 * side && at > 0) s.push_back(at - 1);
    if ((2 * side - rest) * 100 < 2 * side && at + 1 < size) s.push_back(at + 1);
    return s;
}

struct Horse {
    const char* name;
    int left;  // twips
};

// The client area matches the painted scene from its top-left corner, with
// each horse's pose scaled by nearest pixel into its box; the buttons' boxes
// are the style's and are left out.
inline testing::AssertionResult showsSceneWith(const QImage& shot, const std::vector<Horse>& horses) {
    if (shot.size() != QSize(740, 419)) return testing::AssertionFailure() << "client area is not 740 x 419";
    QImage want = painted("/scene.bmp").copy(0, 0, 740, 419);
    for (const Horse& h : horses) {
        const QRect box = poseBox(h.name, h.left);
        const QImage& picture = painted(pose(h.name).bitmap);
        for (int v = 0; v < box.height(); ++v)
            for (int u = 0; u < box.width(); ++u)
                want.setPixel(box.x() + u,
                              box.y() + v,
                              picture.pixel(samples(u, picture.width(), box.width())[0],
                                            samples(v, picture.height(), box.height())[0]));
    }
    int wrong = 0;
    std::ostringstream first;
    for (int y = 0; y < shot.height(); ++y) {
        const auto* got = reinterpret_cast<const QRgb*>(shot.constScanLine(y));
        const auto* expected = reinterpret_cast<const QRgb*>(want.constScanLine(y));
        for (int x = 0; x < shot.width(); ++x) {
            if (got[x] == expected[x] || kCommand1Box.contains(x, y) || kCommand2Box.contains(x, y)) continue;
            bool boundary = false;
            for (const Horse& h : horses) {
                const QRect box = poseBox(h.name, h.left);
                if (!box.contains(x, y)) continue;
                const QImage& picture = painted(pose(h.name).bitmap);
                for (int sy : samples(y - box.y(), picture.height(), box.height()))
                    for (int sx : samples(x - box.x(), picture.width(), box.width()))
                        boundary = boundary || picture.pixel(sx, sy) == got[x];
            }
            if (boundary) continue;
            if (++wrong <= 5)
                first << "\n  (" << x << ", " << y << ") is " << rgb(got[x]) << ", not " << rgb(expected[x]);
        }
    }
    if (wrong == 0) return testing::AssertionSuccess();
    return testing::AssertionFailure() << wrong << " pixels differ, first:" << first.str();
}

}  // namespace zelk::tests
