#include "photo/finder_detector.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>

#include "photo/hypot.h"

namespace lectavo::photo {
namespace {

using Runs = std::array<int, 5>;

// Scan rows that must confirm a pattern: the centre stone of a pattern with
// modules of one pixel is crossed by three; noise seldom lines up that often.
constexpr int kMinHits = 3;

// 1:1:3:1:1 within a tolerance loose enough for blur, print gain and slight
// curvature. Returns the module size, or 0.
// `tenths` is the allowed deviation of each run in tenths of a module; a
// diagonal crosses the rings at their corners, where print gain and blur
// distort them most, so it gets a wider one. Integer arithmetic and one
// branch: this runs for every window of five runs in every row, and on noise
// each separate test would be a coin toss for the branch predictor. Always
// inlined: called, it reads back the runs its caller has just stored, which
// on noise costs about as much as the test.
[[gnu::always_inline]] inline float FinderRatio(const Runs& r, int tenths = 6) {
    const int total = r[0] + r[1] + r[2] + r[3] + r[4];
    // With m = total / 7: |r - m| <= tenths / 10 m, that is
    // 10 |7 r - total| <= tenths total (three times that for the centre).
    const int limit = tenths * total;
    // & (not &&) so that no test branches; an int on the left, as & on two
    // bools reads like a slip.
    const int fits = static_cast<int>(total >= 7) & (r[0] > 0) & (r[1] > 0) & (r[2] > 0) & (r[3] > 0) & (r[4] > 0) &
                     (10 * std::abs(7 * r[0] - total) <= limit) & (10 * std::abs(7 * r[1] - total) <= limit) &
                     (10 * std::abs(7 * r[3] - total) <= limit) & (10 * std::abs(7 * r[4] - total) <= limit) &
                     (10 * std::abs(7 * r[2] - 3 * total) <= 3 * limit);
    return fits ? total / 7.0f : 0;
}

// A row through a finder's stone: the stone is two modules wider than each
// outer ring run, whatever print gain or blur do to dark against light, while
// checkerboards, stripes of equal width and concentric rings give equal runs
// that FinderRatio's tolerance still lets through. Half a module of that
// difference is asked, and at least one pixel, so such texture costs no
// confirmation walks.
bool StoneStandsOut(const Runs& r) {
    const int total = r[0] + r[1] + r[2] + r[3] + r[4];
    const int gap = r[2] - std::max(r[0], r[4]);
    return gap > 0 && 14 * gap >= total;
}

// The longest centre run, in outer runs of maxRun pixels, that FinderRatio
// can accept. With the outer runs summing to S <= 4 maxRun and the total
// T = centre + S, the centre passes only when 10 (7 centre - 3 T) <=
// 3 tenths T, that is centre (40 - 3 tenths) <= S (30 + 3 tenths): at the
// widest tolerance used (tenths = 8), centre <= 3.375 S <= 13.5 maxRun.
constexpr int kMaxCentreRuns = 14;

// The centre runs of one plane's confirmations, remembered per line. A
// crafted plane (a checkerboard, whose diagonals are single runs; stripes)
// asks for the same long run from many windows, and each walk would cost up
// to kMaxCentreRuns outer runs: each line of each direction the confirmations
// use (columns, rows, falling and rising diagonals) keeps the run it last measured, its
// ends where they are known, so a walk only ever continues where the last one
// stopped. The lengths are exactly those of a fresh walk.
class CentreRuns {
public:
    explicit CentreRuns(const BinaryPicture& p)
        : p_(p),
          lines_{std::vector<Line>(static_cast<size_t>(p.width)), std::vector<Line>(static_cast<size_t>(p.height)),
                 std::vector<Line>(static_cast<size_t>(p.width) + p.height),
                 std::vector<Line>(static_cast<size_t>(p.width) + p.height)} {}

    // The run of `ink` through (x, y) (which has that colour) along (dx, dy),
    // one of (0, 1), (1, 0), (1, 1), (1, -1): its pixels behind and ahead of (x, y),
    // each at most limit + 1, and never beyond the plane.
    void Measure(int x, int y, int dx, int dy, uint8_t ink, int limit, int& back, int& ahead) {
        // Position along the line: y on a column, x on a row or diagonal.
        const int kind = dx == 0 ? 0 : dy == 0 ? 1 : dy > 0 ? 2 : 3;
        const size_t line = kind == 0   ? static_cast<size_t>(x)
                            : kind == 1 ? static_cast<size_t>(y)
                            : kind == 2 ? static_cast<size_t>(x - y + p_.height)
                                        : static_cast<size_t>(x + y);
        const int at = kind == 0 ? y : x;
        const int first = kind == 0   ? 0
                          : kind == 1 ? 0
                          : kind == 2 ? x - std::min(x, y)
                                      : x - std::min(x, p_.height - 1 - y);
        const int last = kind == 0   ? p_.height - 1
                         : kind == 1 ? p_.width - 1
                         : kind == 2 ? x + std::min(p_.width - 1 - x, p_.height - 1 - y)
                                     : x + std::min(p_.width - 1 - x, y);
        // Row of position c on a falling diagonal: c + offset; on a rising one: offset - c.
        const int offset = kind == 2 ? y - x : x + y;
        auto inkAt = [&](int c) {
            const int px = kind == 0 ? x : c, py = kind == 0 ? c : kind == 1 ? y : kind == 2 ? c + offset : offset - c;
            return !p_.bits[static_cast<size_t>(py) * p_.width + px] == !ink;
        };
        Line& l = lines_[kind][line];
        if (!(l.known && l.ink == ink && l.low <= at && at <= l.high)) l = {at, at, ink, true, false, false};
        while (!l.lowEnds && at - l.low <= limit) {
            if (l.low == first || !inkAt(l.low - 1))
                l.lowEnds = true;
            else
                --l.low;
        }
        while (!l.highEnds && l.high - at <= limit) {
            if (l.high == last || !inkAt(l.high + 1))
                l.highEnds = true;
            else
                ++l.high;
        }
        back = std::min(at - l.low, limit + 1);
        ahead = std::min(l.high - at, limit + 1);
    }

private:
    // Pixels low .. high of the line have colour `ink`; an end is final when
    // the next pixel out is of the other colour or outside the plane.
    struct Line {
        int low = 0, high = -1;
        uint8_t ink = 0;
        bool known = false, lowEnds = false, highEnds = false;
    };
    const BinaryPicture& p_;
    std::vector<Line> lines_[4];
};

// Runs through (x, y) along the step (dx, dy), centred on the run of colour
// `ink` that holds (x, y); each outer run is limited to `maxRun` pixels and
// the centre run to kMaxCentreRuns times that (false beyond).
// Returns the offset of the centre of the middle run from the start point,
// in steps.
bool RunsAlong(const BinaryPicture& p, CentreRuns& centres, int x, int y, int dx, int dy, int maxRun, uint8_t ink,
               Runs& runs, float& centreOffset) {
    if (!p.Inside(x, y) || !p.At(x, y) != !ink) return false;
    // Steps that stay inside the plane on each side of (x, y).
    auto room = [](int at, int d, int size) { return d > 0 ? size - 1 - at : d < 0 ? at : 1 << 30; };
    const int ahead = std::min(room(x, dx, p.width), room(y, dy, p.height));
    const int behind = std::min(room(x, -dx, p.width), room(y, -dy, p.height));
    const uint8_t* centre = p.bits.data() + static_cast<size_t>(y) * p.width + x;
    const std::ptrdiff_t stride = static_cast<std::ptrdiff_t>(dy) * p.width + dx;
    // Length of the run of `colour` starting `from` steps out on side `sign`,
    // at most `limit` + 1 pixels and never beyond the plane.
    auto run = [&](int sign, int from, uint8_t colour, int limit) {
        const int end = std::min(sign > 0 ? ahead : behind, from + limit);
        int k = from;
        while (k < end && !centre[sign * (k + 1) * stride] == !colour) ++k;
        return k - from;
    };
    const uint8_t ground = ink ? 0 : 1;
    // The centre run is walked no further than kMaxCentreRuns outer runs:
    // every caller rejects a longer one through FinderRatio, so stopping there
    // gives the same answer in work proportional to the pattern's size.
    const int centreLimit = kMaxCentreRuns * maxRun;
    int back = 0, fwd = 0;
    centres.Measure(x, y, dx, dy, ink, centreLimit + 1, back, fwd);
    if (back + fwd + 1 > centreLimit) return false;
    runs[2] = back + fwd + 1;
    runs[1] = run(-1, back, ground, maxRun + 1);
    runs[0] = run(-1, back + runs[1], ink, maxRun + 1);
    runs[3] = run(+1, fwd, ground, maxRun + 1);
    runs[4] = run(+1, fwd + runs[3], ink, maxRun + 1);
    if (runs[1] > maxRun || runs[3] > maxRun || runs[0] > maxRun || runs[4] > maxRun) return false;
    centreOffset = (fwd - back) / 2.0f;
    return true;
}

// A finder seen at a slant: its modules along columns up to this many times
// those along rows, or the other way round. Beyond kMildSlant, data modules
// of a large symbol make short look-alikes, while the finder of a symbol seen
// at a slant is crossed by many rows: such a candidate needs kMinSlantedHits
// confirmations. Light-on-dark finders, which only decide whether the
// inverted plane is searched, are taken at a mild slant only.
constexpr float kMaxSlant = 4.0f;
constexpr float kMildSlant = 1.8f;
constexpr int kMinSlantedHits = 6;
// Rows each side of the centre a lenient confirmation may use instead.
constexpr int kLenientRows = 2;

struct Confirmed {
    PointF centre;
    float module = 0;
    float rowModule = 0, columnModule = 0;
};

// The last confirmation asked of each column. Every step of a confirmation
// after the column's centre run depends only on that run's ends (not on the
// row it was entered from), the row's module estimate and the colour: the
// next scan rows crossing the same run with the same window ask the same
// question, answered here without the walks.
class ColumnAnswers {
public:
    explicit ColumnAnswers(int width) : columns_(static_cast<size_t>(width)) {}

    struct Answer {
        bool known = false;
        int low = 0, high = 0;
        float rowModule = 0;
        uint8_t ink = 0;
        bool confirmed = false;
        Confirmed out;
        bool Matches(int l, int h, float m, uint8_t i) const {
            return known && low == l && high == h && rowModule == m && ink == i;
        }
    };
    Answer& At(int x) { return columns_[static_cast<size_t>(x)]; }

private:
    std::vector<Answer> columns_;
};

// The stone through (x, y) along the rising diagonal ends within `limit`
// pixels, on pixels of the other colour. Stripes of the finder's rhythm at a
// slant pass the row, column and falling diagonal all along their length,
// but there the stone's stripe is one long run, or reaches the border. Only
// the stone is asked: blur rounds a finder's corners too much for the whole
// rhythm on both diagonals.
bool StoneBoundedRising(const BinaryPicture& p, CentreRuns& centres, int x, int y, uint8_t ink, int limit) {
    if (!p.Inside(x, y) || !p.At(x, y) != !ink) return false;
    int back = 0, ahead = 0;
    centres.Measure(x, y, 1, -1, ink, limit + 1, back, ahead);
    return back + ahead + 1 <= limit && p.Inside(x - back - 1, y + back + 1) && p.Inside(x + ahead + 1, y - ahead - 1);
}

// Confirms a row hit down the column, again along the row through the
// refined centre, and along both diagonals. `ink` is the colour of the
// pattern's stone: 1 for a dark finder, 0 for a light-on-dark one.
bool Confirm(const BinaryPicture& p, CentreRuns& centres, ColumnAnswers& answers, float cx, int y, float rowModule,
             uint8_t ink, bool lenient, Confirmed& out) {
    const int maxRun = static_cast<int>(rowModule * 3) + 2;
    const int x = static_cast<int>(cx);
    if (!p.Inside(x, y) || !p.At(x, y) != !ink) return false;
    // The column's centre run, as the first RunsAlong below measures it: a
    // run within its limit is measured whole, so its ends identify it.
    const int centreLimit = kMaxCentreRuns * maxRun;
    int back = 0, fwd = 0;
    centres.Measure(x, y, 0, 1, ink, centreLimit + 1, back, fwd);
    if (back + fwd + 1 > centreLimit) return false;
    ColumnAnswers::Answer& answer = answers.At(x);
    if (answer.Matches(y - back, y + fwd, rowModule, ink)) {
        if (answer.confirmed) out = answer.out;
        return answer.confirmed;
    }
    const auto walk = [&] {
        Runs runs;
        float offset = 0;
        if (!RunsAlong(p, centres, x, y, 0, 1, maxRun, ink, runs, offset)) return false;
        const float colModule = FinderRatio(runs);
        const float slant = ink ? kMaxSlant : kMildSlant;
        if (colModule == 0 || colModule > rowModule * slant || colModule * slant < rowModule) return false;
        const float cy = y + offset;
        float rowModule2 = 0;
        if (RunsAlong(p, centres, x, static_cast<int>(cy), 1, 0, maxRun, ink, runs, offset))
            rowModule2 = FinderRatio(runs);
        // A pale, thin ring can break on the rows through the centre; where a
        // finder is expected, the rows nearest the centre may stand in.
        for (int d = 1; lenient && rowModule2 == 0 && d <= kLenientRows; ++d)
            for (int row : {static_cast<int>(cy) - d, static_cast<int>(cy) + d})
                if (rowModule2 == 0 && RunsAlong(p, centres, x, row, 1, 0, maxRun, ink, runs, offset))
                    rowModule2 = FinderRatio(runs);
        if (rowModule2 == 0) return false;
        const float cx2 = x + offset;
        if (!RunsAlong(p, centres, static_cast<int>(cx2), static_cast<int>(cy), 1, 1, maxRun, ink, runs, offset))
            return false;
        if (FinderRatio(runs, 8) == 0) return false;
        if (!StoneBoundedRising(p, centres, static_cast<int>(cx2), static_cast<int>(cy), ink, centreLimit))
            return false;
        answer.out.centre = {cx2 + 0.5f, cy + 0.5f};
        answer.out.module = (rowModule2 + colModule) / 2;
        answer.out.rowModule = rowModule2;
        answer.out.columnModule = colModule;
        return true;
    };
    answer.confirmed = walk();
    answer.known = true;
    answer.low = y - back;
    answer.high = y + fwd;
    answer.rowModule = rowModule;
    answer.ink = ink;
    if (answer.confirmed) out = answer.out;
    return answer.confirmed;
}

// Candidates indexed by a coarse grid of cells, so merging a hit looks only
// at candidates nearby however many the picture holds.
class CandidateIndex {
public:
    CandidateIndex(int width, int height)
        : columns_(width / kCell + 1), rows_(height / kCell + 1), cells_(static_cast<size_t>(columns_) * rows_) {}

    void Add(std::vector<FinderCandidate>& found, const Confirmed& c) {
        const int reach = std::min(4, static_cast<int>(c.module * 3.2f) / kCell + 1);
        const int cx = CellOf(c.centre.x, columns_), cy = CellOf(c.centre.y, rows_);
        for (int y = std::max(0, cy - reach); y <= std::min(rows_ - 1, cy + reach); ++y)
            for (int x = std::max(0, cx - reach); x <= std::min(columns_ - 1, cx + reach); ++x)
                for (int i : cells_[static_cast<size_t>(y) * columns_ + x]) {
                    FinderCandidate& f = found[i];
                    const float dx = f.centre.x - c.centre.x, dy = f.centre.y - c.centre.y;
                    const float near = std::max(f.moduleSize, c.module) * 2;
                    if (dx * dx + dy * dy <= near * near && c.module < f.moduleSize * 1.6f &&
                        f.moduleSize < c.module * 1.6f) {
                        const float n = static_cast<float>(f.hits);
                        f.centre = {(f.centre.x * n + c.centre.x) / (n + 1), (f.centre.y * n + c.centre.y) / (n + 1)};
                        f.moduleSize = (f.moduleSize * n + c.module) / (n + 1);
                        f.rowModule = (f.rowModule * n + c.rowModule) / (n + 1);
                        f.columnModule = (f.columnModule * n + c.columnModule) / (n + 1);
                        ++f.hits;
                        return;
                    }
                }
        if (found.size() >= kMaxKept) return;
        cells_[static_cast<size_t>(cy) * columns_ + cx].push_back(static_cast<int>(found.size()));
        found.push_back({c.centre, c.module, 1, c.rowModule, c.columnModule});
    }

private:
    static constexpr int kCell = 32;
    // Unconfirmed hits kept before the strongest are chosen.
    static constexpr size_t kMaxKept = 16 * kMaxFinderCandidates;
    static int CellOf(float v, int count) { return std::clamp(static_cast<int>(v) / kCell, 0, count - 1); }
    int columns_, rows_;
    std::vector<std::vector<int>> cells_;
};

// Confirmed on fewer than kMinHits rows, or fewer than kMinSlantedHits at
// more than a mild slant.
bool Weak(const FinderCandidate& f) {
    if (f.hits < kMinHits) return true;
    const float wide = std::max(f.rowModule, f.columnModule), narrow = std::min(f.rowModule, f.columnModule);
    return wide > kMildSlant * narrow && f.hits < kMinSlantedHits;
}

// Candidates confirmed often enough, most confirmations first.
std::vector<FinderCandidate> Strongest(std::vector<FinderCandidate> found) {
    found.erase(std::remove_if(found.begin(), found.end(), Weak), found.end());
    std::stable_sort(found.begin(), found.end(),
                     [](const FinderCandidate& a, const FinderCandidate& b) { return a.hits > b.hits; });
    if (found.size() > static_cast<size_t>(kMaxFinderCandidates)) found.resize(kMaxFinderCandidates);
    return found;
}

}  // namespace

float ModuleToward(const FinderCandidate& f, float dx, float dy) { return ModuleToward(f, dx, dy, Hypot(dx, dy)); }

float ModuleToward(const FinderCandidate& f, float dx, float dy, float length) {
    if (f.rowModule <= 0 || f.columnModule <= 0 || length <= 0) return f.moduleSize;
    // A line at this direction crosses dx / rowModule + dy / columnModule
    // modules per pixel, taken as the length of that vector.
    const float x = dx / length / f.rowModule, y = dy / length / f.columnModule;
    return 1 / Hypot(x, y);
}

namespace {

std::vector<FinderCandidate> Detect(const BinaryPicture& plane, std::vector<FinderCandidate>* lightFinders,
                                    bool lenient) {
    std::vector<FinderCandidate> found, light;
    if (plane.width < 7 || plane.height < 7 || plane.bits.size() < static_cast<size_t>(plane.width) * plane.height)
        return found;
    // Every row on small pictures; every second on large ones, where a finder
    // whose modules are at least 2 px is still crossed three times.
    const int step = static_cast<size_t>(plane.width) * plane.height > 2'000'000 ? 2 : 1;
    CandidateIndex index(plane.width, plane.height), lightIndex(plane.width, plane.height);
    CentreRuns centres(plane);
    ColumnAnswers answers(plane.width);
    // Run lengths of one row; every second window of five starts with a
    // dark run.
    std::vector<int> length(static_cast<size_t>(plane.width) + 1);
    for (int y = 0; y < plane.height; y += step) {
        const uint8_t* row = plane.bits.data() + static_cast<size_t>(y) * plane.width;
        int runs = 0, start = 0;
        // Eight pixels at a time are skipped where they repeat the one
        // before; elsewhere no branch per pixel, as on noise every second
        // pixel starts a run.
        for (int x = 1; x < plane.width;) {
            if (x + 8 <= plane.width) {
                std::uint64_t before, here;
                std::memcpy(&before, row + x - 1, 8);
                std::memcpy(&here, row + x, 8);
                if (before == here) {
                    x += 8;
                    continue;
                }
            }
            for (const int end = std::min(plane.width, x + 8); x < end; ++x) {
                const int change = !row[x] != !row[x - 1];
                length[runs] = x - start;
                runs += change;
                start = change ? x : start;
            }
        }
        length[runs++] = plane.width - start;
        const int firstDark = row[0] ? 0 : 1;
        int x0 = 0;  // first pixel of window i
        for (int i = 0; i + 5 <= runs; x0 += length[i], ++i) {
            const uint8_t ink = (i & 1) == firstDark ? 1 : 0;
            if (!ink && !lightFinders) continue;
            // Texture fails here most often: no stone wider than both outer runs.
            if (length[i + 2] <= std::max(length[i], length[i + 4])) continue;
            const Runs r = {length[i], length[i + 1], length[i + 2], length[i + 3], length[i + 4]};
            if (!StoneStandsOut(r)) continue;
            const float module = FinderRatio(r);
            if (module == 0) continue;
            const float cx = x0 + r[0] + r[1] + r[2] / 2.0f;
            Confirmed c;
            if (Confirm(plane, centres, answers, cx, y, module, ink, lenient, c))
                (ink ? index : lightIndex).Add(ink ? found : light, c);
        }
    }
    if (lightFinders) {
        // Only to decide whether a whole plane more is searched: noise makes
        // a few candidates with the fewest confirmations, so one more is asked.
        light.erase(
            std::remove_if(light.begin(), light.end(), [](const FinderCandidate& f) { return f.hits <= kMinHits; }),
            light.end());
        *lightFinders = Strongest(std::move(light));
    }
    return Strongest(std::move(found));
}

}  // namespace

std::vector<FinderCandidate> DetectFinders(const BinaryPicture& plane, std::vector<FinderCandidate>* lightFinders) {
    return Detect(plane, lightFinders, false);
}

std::vector<FinderCandidate> DetectLenientFinders(const BinaryPicture& plane) { return Detect(plane, nullptr, true); }

bool NearestFinder(const std::vector<FinderCandidate>& candidates, PointF at, float radius, float module,
                   FinderCandidate& found) {
    bool any = false;
    float nearest = radius;
    for (const FinderCandidate& c : candidates) {
        if (c.moduleSize > kNearModuleRatio * module || module > kNearModuleRatio * c.moduleSize) continue;
        const float distance = Hypot(c.centre.x - at.x, c.centre.y - at.y);
        if (distance > nearest || (any && distance == nearest)) continue;
        any = true;
        nearest = distance;
        found = c;
    }
    return any;
}

}  // namespace lectavo::photo
