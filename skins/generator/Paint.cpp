#include "Paint.h"

#include <algorithm>
#include <cmath>

namespace skingen {

namespace {

constexpr std::uint32_t kKey = 0xFF00FF;
constexpr int kSamples = 4;  // per side, so 16 samples a pixel

double Channel(std::uint32_t c, int shift) { return double((c >> shift) & 0xFF); }

double SegmentDistance(double px, double py, double ax, double ay, double bx, double by) {
    const double dx = bx - ax, dy = by - ay;
    const double len = dx * dx + dy * dy;
    double t = len > 0 ? ((px - ax) * dx + (py - ay) * dy) / len : 0;
    t = std::clamp(t, 0.0, 1.0);
    const double ex = ax + t * dx - px, ey = ay + t * dy - py;
    return std::sqrt(ex * ex + ey * ey);
}

std::uint8_t Byte(double v) { return std::uint8_t(std::clamp(std::lround(v), 0L, 255L)); }

}  // namespace

Shape Box(double x0, double y0, double x1, double y1) {
    return [=](double x, double y) { return x >= x0 && x < x1 && y >= y0 && y < y1; };
}

Shape RoundBox(double x0, double y0, double x1, double y1, double r) {
    return [=](double x, double y) {
        if (x < x0 || x >= x1 || y < y0 || y >= y1) return false;
        const double cx = std::clamp(x, x0 + r, x1 - r), cy = std::clamp(y, y0 + r, y1 - r);
        return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
    };
}

Shape Circle(double cx, double cy, double r) {
    return [=](double x, double y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r; };
}

Shape Stroke(const Points& points, double width) {
    return [=](double x, double y) {
        for (std::size_t i = 0; i + 1 < points.size(); ++i)
            if (SegmentDistance(x, y, points[i].first, points[i].second, points[i + 1].first, points[i + 1].second) <=
                width / 2)
                return true;
        return points.size() == 1 &&
               SegmentDistance(x, y, points[0].first, points[0].second, points[0].first, points[0].second) <= width / 2;
    };
}

Shape Minus(Shape a, Shape b) {
    return [=](double x, double y) { return a(x, y) && !b(x, y); };
}

Shape Either(Shape a, Shape b) {
    return [=](double x, double y) { return a(x, y) || b(x, y); };
}

Paint Solid(std::uint32_t color) {
    return [=](double, double) { return color; };
}

Paint Vertical(std::uint32_t top, std::uint32_t bottom, double y0, double y1) {
    return
        [=](double, double y) { return Mix(top, bottom, y1 > y0 ? std::clamp((y - y0) / (y1 - y0), 0.0, 1.0) : 0.0); };
}

Paint Horizontal(std::uint32_t left, std::uint32_t right, double x0, double x1) {
    return
        [=](double x, double) { return Mix(left, right, x1 > x0 ? std::clamp((x - x0) / (x1 - x0), 0.0, 1.0) : 0.0); };
}

std::uint32_t Mix(std::uint32_t a, std::uint32_t b, double t) {
    std::uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8)
        out |= std::uint32_t(Byte(Channel(a, shift) + (Channel(b, shift) - Channel(a, shift)) * t)) << shift;
    return out;
}

Layer& Layer::Fill(const Shape& shape, const Paint& paint, double opacity) {
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            int inside = 0;
            for (int sy = 0; sy < kSamples; ++sy)
                for (int sx = 0; sx < kSamples; ++sx)
                    inside += shape(x + (sx + 0.5) / kSamples, y + (sy + 0.5) / kSamples);
            if (!inside) continue;
            const double a = opacity * inside / double(kSamples * kSamples);
            const std::uint32_t c = paint(x + 0.5, y + 0.5);
            Px& d = At(x, y);
            const double outA = a + d.A * (1 - a);
            auto over = [&](double src, double dst) { return (src * a + dst * d.A * (1 - a)) / outA; };
            d.R = over(Channel(c, 16), d.R);
            d.G = over(Channel(c, 8), d.G);
            d.B = over(Channel(c, 0), d.B);
            d.A = outA;
        }
    return *this;
}

Layer Layer::FlipV() const {
    Layer out(W, H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) out.At(x, H - 1 - y) = At(x, y);
    return out;
}

Layer Layer::FlipH() const {
    Layer out(W, H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) out.At(W - 1 - x, y) = At(x, y);
    return out;
}

Layer Layer::Transpose() const {
    Layer out(H, W);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) out.At(y, x) = At(x, y);
    return out;
}

TacBmpImage Keyed(const Layer& layer, std::uint32_t edge) { return Strip({layer}, false, edge); }

TacBmpImage Strip(const std::vector<Layer>& states, bool opacityRows, std::uint32_t edge) {
    int width = 0, height = 0;
    for (const Layer& l : states) {
        width += l.W;
        height = std::max(height, l.H);
    }
    TacBmpImage out;
    out.Resize(width, height * (opacityRows ? 2 : 1), kKey);
    int left = 0;
    for (const Layer& l : states) {
        for (int y = 0; y < l.H; ++y)
            for (int x = 0; x < l.W; ++x) {
                const Layer::Px& p = l.At(x, y);
                const std::uint32_t c = (std::uint32_t(Byte(p.R)) << 16) | (std::uint32_t(Byte(p.G)) << 8) | Byte(p.B);
                if (opacityRows) {
                    const std::uint8_t a = Byte(p.A * 255);
                    out.SetPixel(left + x, y, a ? c : kKey);
                    out.SetPixel(left + x, height + y, std::uint32_t(a) * 0x010101);
                } else if (p.A >= 0.92) {
                    out.SetPixel(left + x, y, c);
                } else if (p.A >= 0.08) {
                    out.SetPixel(left + x, y, Mix(edge, c, p.A));
                }
            }
        left += l.W;
    }
    return out;
}

}  // namespace skingen
