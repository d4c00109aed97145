// Symbols made by the encoder from the input, damaged and drawn the way a
// camera may see them, then decoded. Every input is a symbol with valid
// finder patterns, format and version information and correctable
// codewords, so the fuzzer spends its time in the decoder's deeper stages
// (sampling, correction, segments) that random pixels rarely reach.
//
// The last bytes choose the symbol (version, level, mask), the damage
// (module flips, a blotted rectangle), the geometry (module size, rotation,
// perspective, mirror) and the picture (contrast, inversion, shading, blur,
// noise) and which stages decode it; the first bytes are the message.
// Two checks hold whatever the input: the sampled grid with at most one
// wrong module decodes to the message; so does a clean, upright, well-lit
// drawing with a quiet zone through the whole decode call.
//
// fuzz-options: -max_len=512
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "decode/grid_decoding.h"
#include "encode_symbol.h"
#include "lectavo.h"
#include "photo/photo_stage.h"
#include "settings.h"

namespace {

// Pictures of at most 160 x 160 pixels: room for versions up to 10 at two
// pixels a module or more, and each pass over them (the drawing, the photo
// stage's planes and the enlarged copies) costs a fraction of what 256 x 256
// does.
constexpr int kMaxPictureSide = 160;

struct Homography {
    double m[9];  // row-major, maps (u, v, 1) to (x, y, w)
    void Map(double u, double v, double& x, double& y) const {
        const double w = m[6] * u + m[7] * v + m[8];
        x = (m[0] * u + m[1] * v + m[2]) / w;
        y = (m[3] * u + m[4] * v + m[5]) / w;
    }
};

// The unit square (0,0) (1,0) (1,1) (0,1) to the quad given corner by corner.
Homography SquareToQuad(const double* x, const double* y) {
    const double dx1 = x[1] - x[2], dx2 = x[3] - x[2], dy1 = y[1] - y[2], dy2 = y[3] - y[2];
    const double sx = x[0] - x[1] + x[2] - x[3], sy = y[0] - y[1] + y[2] - y[3];
    const double den = dx1 * dy2 - dx2 * dy1;
    double g = 0, h = 0;
    if (std::fabs(den) > 1e-12) {
        g = (sx * dy2 - dx2 * sy) / den;
        h = (dx1 * sy - sx * dy1) / den;
    }
    return {{x[1] - x[0] + g * x[1], x[3] - x[0] + h * x[3], x[0], y[1] - y[0] + g * y[1], y[3] - y[0] + h * y[3], y[0],
             g, h, 1}};
}

Homography Inverse(const Homography& a) {
    const double* m = a.m;
    Homography r{{m[4] * m[8] - m[5] * m[7], m[2] * m[7] - m[1] * m[8], m[1] * m[5] - m[2] * m[4],
                  m[5] * m[6] - m[3] * m[8], m[0] * m[8] - m[2] * m[6], m[2] * m[3] - m[0] * m[5],
                  m[3] * m[7] - m[4] * m[6], m[1] * m[6] - m[0] * m[7], m[0] * m[4] - m[1] * m[3]}};
    return r;  // the adjugate: a multiple of the inverse, enough for a projective map
}

struct Drawing {
    int width = 0, height = 0;
    std::vector<uint8_t> pixels;
};

// Modules (side x side, 1 dark) drawn through `toPicture` (module units to
// pixels) with 2 x 2 samples per pixel; outside the symbol is light.
Drawing Draw(const std::vector<uint8_t>& modules, int side, const Homography& toPicture, int width, int height,
             uint8_t dark, uint8_t light) {
    Drawing d{width, height, std::vector<uint8_t>(static_cast<size_t>(width) * height)};
    const Homography toModules = Inverse(toPicture);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            int sum = 0;
            for (int s = 0; s < 4; ++s) {
                double u, v;
                toModules.Map(x + 0.25 + 0.5 * (s & 1), y + 0.25 + 0.5 * (s >> 1), u, v);
                const bool inside = std::isfinite(u) && std::isfinite(v) && u >= 0 && v >= 0 && u < side && v < side;
                sum += inside && modules[static_cast<size_t>(v) * side + static_cast<size_t>(u)] ? dark : light;
            }
            d.pixels[static_cast<size_t>(y) * width + x] = static_cast<uint8_t>(sum / 4);
        }
    return d;
}

void BoxBlur(Drawing& d, int radius) {
    if (radius <= 0) return;
    std::vector<uint8_t> out(d.pixels.size());
    for (int pass = 0; pass < 2; ++pass) {
        const bool across = pass == 0;
        for (int y = 0; y < d.height; ++y)
            for (int x = 0; x < d.width; ++x) {
                int sum = 0, count = 0;
                for (int k = -radius; k <= radius; ++k) {
                    const int xx = across ? x + k : x, yy = across ? y : y + k;
                    if (xx < 0 || yy < 0 || xx >= d.width || yy >= d.height) continue;
                    sum += d.pixels[static_cast<size_t>(yy) * d.width + xx];
                    ++count;
                }
                out[static_cast<size_t>(y) * d.width + x] = static_cast<uint8_t>(sum / count);
            }
        d.pixels.swap(out);
    }
}

// Uneven light falling off across the picture, then noise from a small
// generator seeded by the input.
void Light(Drawing& d, int shade, int noise, uint32_t seed) {
    if (shade == 0 && noise == 0) return;
    for (int y = 0; y < d.height; ++y)
        for (int x = 0; x < d.width; ++x) {
            uint8_t& p = d.pixels[static_cast<size_t>(y) * d.width + x];
            int value = p - shade * x / std::max(1, d.width);
            if (noise > 0) {
                seed = seed * 1664525u + 1013904223u;
                value += static_cast<int>((seed >> 16) % static_cast<uint32_t>(2 * noise + 1)) - noise;
            }
            p = static_cast<uint8_t>(std::clamp(value, 0, 255));
        }
}

bool SameBytes(const unsigned char* bytes, int length, const std::string& message) {
    return bytes && length == static_cast<int>(message.size()) &&
           std::memcmp(bytes, message.data(), message.size()) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    // The symbol: mostly small versions, which draw and decode fast.
    const uint8_t versionByte = in.ConsumeIntegral<uint8_t>();
    const int version = versionByte < 224 ? versionByte % 11 : versionByte % 41;
    const int level = in.ConsumeIntegralInRange(0, 3);
    const int mask = in.ConsumeIntegralInRange(0, 8);
    // Damage and geometry.
    const int flips = in.ConsumeIntegralInRange(0, 12);
    std::vector<std::pair<uint8_t, uint8_t>> flipAt;
    for (int i = 0; i < flips; ++i) flipAt.emplace_back(in.ConsumeIntegral<uint8_t>(), in.ConsumeIntegral<uint8_t>());
    const uint8_t blot = in.ConsumeIntegral<uint8_t>();  // 0-191 none, else a rectangle of modules
    const uint8_t blotRow = in.ConsumeIntegral<uint8_t>(), blotColumn = in.ConsumeIntegral<uint8_t>();
    const int stage = in.ConsumeIntegralInRange(0, 3);  // 0 grid, 1 photo stage, 2-3 whole decode
    const double modulePixels = 1.0 + in.ConsumeIntegral<uint8_t>() / 32.0;
    const int quiet = in.ConsumeIntegralInRange(0, 6);
    const double angle = in.ConsumeIntegral<uint8_t>() < 96 ? 0.0 : in.ConsumeIntegral<uint8_t>() * (M_PI / 128);
    int8_t skew[8] = {};
    const bool perspective = in.ConsumeBool();
    if (perspective)
        for (int8_t& s : skew) s = in.ConsumeIntegral<int8_t>();
    const bool mirrored = in.ConsumeBool(), inverted = in.ConsumeBool();
    const uint8_t dark = in.ConsumeIntegralInRange<uint8_t>(0, 120),
                  light = in.ConsumeIntegralInRange<uint8_t>(130, 255);
    const int shade = in.ConsumeIntegralInRange(0, 3) * 40;
    const int blur = in.ConsumeIntegralInRange(0, 3) == 3 ? in.ConsumeIntegralInRange(1, 2) : 0;
    const int noise = in.ConsumeIntegralInRange(0, 3) == 3 ? in.ConsumeIntegralInRange(1, 60) : 0;
    const uint32_t seed = in.ConsumeIntegral<uint32_t>();
    const int effect = in.ConsumeIntegralInRange(0, 3);

    // The message: the remaining bytes up to the first zero (the encoder
    // takes a C string), never empty.
    std::string message = in.ConsumeRemainingBytesAsString();
    message.resize(std::strlen(message.c_str()));
    if (message.empty()) message = "0";

    auto settings = std::make_unique<mosaire::EncoderSettings>();
    mosaire::SetMessage(*settings, message.c_str());
    mosaire::Configure(*settings, version, level, mask);
    const mosaire::EncodedSymbol encoded = mosaire::EncodeSymbol(*settings);
    const mosaire::ModuleMatrix* matrix = encoded.matrix.get();
    if (!matrix) return 0;
    const int side = matrix->side;

    std::vector<uint8_t> modules(static_cast<size_t>(side) * side);
    for (int r = 0; r < side; ++r)
        for (int c = 0; c < side; ++c)
            modules[static_cast<size_t>(r) * side + c] = mirrored ? matrix->value[c][r] : matrix->value[r][c];
    int dataFlips = 0;
    for (const auto& [row, column] : flipAt) {
        const int r = row % side, c = column % side;
        modules[static_cast<size_t>(r) * side + c] ^= 1;
        dataFlips += mirrored ? matrix->isData[c][r] : matrix->isData[r][c];
    }
    if (blot >= 192) {
        const int h = 1 + (blot & 7), w = 1 + ((blot >> 3) & 7);
        for (int r = blotRow % side; r < std::min(side, blotRow % side + h); ++r)
            for (int c = blotColumn % side; c < std::min(side, blotColumn % side + w); ++c)
                modules[static_cast<size_t>(r) * side + c] = (blot >> 6) & 1;
    }

    if (stage == 0) {
        // The reading stage alone, on the grid as the sampler would hand it.
        auto grid = std::make_unique<lectavo::SampledGrid>();
        grid->side = side;
        grid->version = encoded.version;
        grid->level = level;
        grid->mask = encoded.mask;
        for (int r = 0; r < side; ++r)
            for (int c = 0; c < side; ++c) grid->At(r, c) = modules[static_cast<size_t>(r) * side + c];
        auto out = std::make_unique<lectavo::DecodedData>();
        const lectavo::DecodeStatus status = lectavo::DecodeSampledGrid(*grid, {(seed & 1) != 0}, *out);
        if (!mirrored && blot < 192 && dataFlips <= 1 &&
            (status != lectavo::DecodeStatus::kOk || !SameBytes(out->bytes, out->length, message)))
            __builtin_trap();  // one wrong module is always corrected
        return 0;
    }

    // The symbol's corners in the picture: a square of the module size, turned
    // about its centre, each corner moved by up to an eighth of the side.
    double scale = modulePixels;
    const double extent = (side + 2.0 * quiet) * scale;
    if (extent * 1.5 > kMaxPictureSide) scale *= kMaxPictureSide / (extent * 1.5);
    const double half = side * scale / 2;
    const double centre = (side + 2.0 * quiet) * scale * 0.75;
    const double cornerU[4] = {-1, 1, 1, -1}, cornerV[4] = {-1, -1, 1, 1};
    double x[4], y[4];
    for (int k = 0; k < 4; ++k) {
        const double u = cornerU[k] * half + skew[2 * k] * half / 512,
                     v = cornerV[k] * half + skew[2 * k + 1] * half / 512;
        x[k] = centre + u * std::cos(angle) - v * std::sin(angle);
        y[k] = centre + u * std::sin(angle) + v * std::cos(angle);
    }
    Homography toPicture = SquareToQuad(x, y);
    for (int k : {0, 1, 3, 4, 6, 7}) toPicture.m[k] /= side;  // module units in, not the unit square
    const int pictureSide = std::max(21, static_cast<int>(2 * centre));
    Drawing drawing =
        Draw(modules, side, toPicture, pictureSide, pictureSide, inverted ? light : dark, inverted ? dark : light);
    BoxBlur(drawing, blur);
    Light(drawing, shade, noise, seed);

    if (stage == 1) {
        // The photo stage alone, each grid it offers decoded; one run in four
        // asks for more symbols than the one drawn, which spends the stage's
        // whole budget.
        const lectavo::GreyView view{drawing.pixels.data(), drawing.width, drawing.height};
        auto out = std::make_unique<lectavo::DecodedData>();
        lectavo::photo::RunPhotoStage(
            view, (seed >> 8 & 3) == 3 ? 2 + (seed >> 10 & 1) : 1,
            lectavo::photo::GridTrial([&](const lectavo::SampledGrid& grid, const lectavo::Quad&) {
                out->Reset();
                return lectavo::DecodeSampledGrid(grid, {}, *out) == lectavo::DecodeStatus::kOk;
            }));
        return 0;
    }

    // The whole decode call at the chosen effect level.
    SetDecodeEffectLevel(effect);
    SetDecodeSymbolCount(static_cast<int32_t>(seed >> 24) % 3);
    const int found = DecodeGrayScaleArray(drawing.pixels.data(), drawing.width, drawing.height);
    bool read = false;
    for (int i = 0; i < found; ++i) {
        unsigned char* bytes = nullptr;
        const int length = GetDecodeData(i, &bytes);
        read |= SameBytes(bytes, length, message);
        LectavoPoint corners[4];
        GetSymbolePosition(i, corners);
    }
    FreeAllocateMemory();
    const bool clean = flips == 0 && blot < 192 && !mirrored && angle == 0 && !perspective && !inverted && shade == 0 &&
                       blur == 0 && noise == 0 && scale >= 3 && quiet >= 4 && light - dark >= 100;
    if (clean && effect == 3 && !read) __builtin_trap();  // a clean drawing always reads
    return 0;
}
