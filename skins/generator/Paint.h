// Drawing by code for the built-in skins: shapes with smooth edges painted on a
// layer with opacity, turned into key-coloured pictures or pictures with opacity rows.
#pragma once

#include "acBmpFile.h"

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

namespace skingen {

// Colours here are 0xRRGGBB.
using Shape = std::function<bool(double x, double y)>;
using Paint = std::function<std::uint32_t(double x, double y)>;
using Points = std::vector<std::pair<double, double>>;

Shape Box(double x0, double y0, double x1, double y1);
Shape RoundBox(double x0, double y0, double x1, double y1, double radius);
Shape Circle(double cx, double cy, double radius);
// A polyline Width wide with round ends.
Shape Stroke(const Points& points, double width);
Shape Minus(Shape a, Shape b);
Shape Either(Shape a, Shape b);

Paint Solid(std::uint32_t color);
Paint Vertical(std::uint32_t top, std::uint32_t bottom, double y0, double y1);
Paint Horizontal(std::uint32_t left, std::uint32_t right, double x0, double x1);

// T of the way from A to B.
std::uint32_t Mix(std::uint32_t a, std::uint32_t b, double t);

struct Layer {
    int W = 0, H = 0;
    struct Px {
        double R = 0, G = 0, B = 0, A = 0;
    };
    std::vector<Px> P;
    Layer(int w, int h) : W(w), H(h), P(std::size_t(w) * std::size_t(h)) {}
    Px& At(int x, int y) { return P[std::size_t(y) * W + x]; }
    const Px& At(int x, int y) const { return P[std::size_t(y) * W + x]; }
    // Paints Paint through Shape over what is there, with Opacity.
    Layer& Fill(const Shape& shape, const Paint& paint, double opacity = 1.0);
    Layer FlipV() const;
    Layer FlipH() const;
    Layer Transpose() const;
};

// The layer as a picture: clear pixels become the key colour 0xFF00FF, partly
// covered ones are mixed with Edge (the colour they are expected to stand on).
TacBmpImage Keyed(const Layer& layer, std::uint32_t edge);
// States side by side. With opacity rows (MaskType 1) the colours go above and
// the opacity below in grey (white opaque); clear pixels are key-coloured.
TacBmpImage Strip(const std::vector<Layer>& states, bool opacityRows, std::uint32_t edge = 0);

}  // namespace skingen
