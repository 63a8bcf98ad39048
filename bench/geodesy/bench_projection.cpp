// Time per converted point in both directions, the footpoint search alone (the reference
// bisection and the fast search), the combined inverse call, and the sine the projection
// uses against the C library's extended sine.
#include <cmath>
#include <random>
#include <vector>

#include <benchmark/benchmark.h>

#include "geodesy/footpoint.h"
#include "geodesy/projection.h"
#include "geodesy/trig.h"

struct GridPoint {
    Extended E, N;
};
// Spread over the island and its eastings, as a batch file would be.
static const GridPoint kGridPoints[] = {
    {247342, 2652335}, {250000, 2600000}, {300000, 2750000}, {200000, 2450000},
    {180000, 2520000}, {320000, 2800000}, {170000, 2800000}, {350000, 2400000},
};
struct GeographicPoint {
    Extended longitude, latitude;
};
static const GeographicPoint kGeographicPoints[] = {
    {121, 23.5L}, {120.973L, 23.97L}, {122, 25.3L}, {120, 22},
    {119.5L, 23.5L}, {121.5L, 24.856649L}, {120.3L, 22.78L}, {121.7L, 25.3L},
};
static constexpr size_t kPointCount = 8;

// Random positions over the island's grid, fixed seed: the footpoint's steps then fall
// as a file's would, not in a pattern the branch predictor learns.
static const std::vector<GridPoint>& RandomGridPoints()
{
    static const std::vector<GridPoint> points = [] {
        std::mt19937_64 random(20240521);
        std::uniform_real_distribution<double> east(150000, 350000), north(2400000, 2800000);
        std::vector<GridPoint> p(4096);
        for (GridPoint& g : p)
            g = {east(random), north(random)};
        return p;
    }();
    return points;
}

// One point: TM2ToLatitude and TM2ToLongitude, each with its own footpoint search.
static void BM_TM2ToGeographic(benchmark::State& state)
{
    const Ellipsoid& e = kEllipsoids[state.range(0)];
    size_t i = 0;
    for (auto _ : state) {
        const GridPoint& p = kGridPoints[i++ % kPointCount];
        benchmark::DoNotOptimize(TM2ToLatitude(e, p.E, p.N));
        benchmark::DoNotOptimize(TM2ToLongitude(e, p.E, p.N));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TM2ToGeographic)->Arg(0)->Arg(1);

// The same pair on random positions.
static void BM_TM2ToGeographicRandom(benchmark::State& state)
{
    const Ellipsoid& e = kEllipsoids[state.range(0)];
    const std::vector<GridPoint>& points = RandomGridPoints();
    size_t i = 0;
    for (auto _ : state) {
        const GridPoint& p = points[i++ % points.size()];
        benchmark::DoNotOptimize(TM2ToLatitude(e, p.E, p.N));
        benchmark::DoNotOptimize(TM2ToLongitude(e, p.E, p.N));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TM2ToGeographicRandom)->Arg(0)->Arg(1);

// One point through the combined call: one footpoint for both series. The pages and the
// converter convert this way; the target is about 1 µs a point.
static void BM_TM2ToGeographicPoint(benchmark::State& state)
{
    const Ellipsoid& e = kEllipsoids[state.range(0)];
    const std::vector<GridPoint>& points = RandomGridPoints();
    size_t i = 0;
    for (auto _ : state) {
        const GridPoint& p = points[i++ % points.size()];
        benchmark::DoNotOptimize(TM2ToGeographicPoint(e, p.E, p.N));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TM2ToGeographicPoint)->Arg(0)->Arg(1);

// One point: LonLatToNorthing and LonLatToEasting.
static void BM_GeographicToTM2(benchmark::State& state)
{
    const Ellipsoid& e = kEllipsoids[state.range(0)];
    size_t i = 0;
    for (auto _ : state) {
        const GeographicPoint& p = kGeographicPoints[i++ % kPointCount];
        benchmark::DoNotOptimize(LonLatToNorthing(e, p.longitude, p.latitude));
        benchmark::DoNotOptimize(LonLatToEasting(e, p.longitude, p.latitude));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GeographicToTM2)->Arg(0)->Arg(1);

// The search alone, arc factors included, on random northings: the reference bisection
// (every step evaluates the arc) and the fast search with the same results.
static void BM_FootpointLatitude(benchmark::State& state)
{
    const std::vector<GridPoint>& points = RandomGridPoints();
    size_t i = 0;
    for (auto _ : state) {
        const GridPoint& p = points[i++ % points.size()];
        const ArcCoefficients arc = DeriveArcCoefficients(DeriveConstants(kGRS67));
        benchmark::DoNotOptimize(FootpointLatitude(arc, p.N * InverseScaleFactor));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FootpointLatitude);

static void BM_FastFootpointLatitude(benchmark::State& state)
{
    const std::vector<GridPoint>& points = RandomGridPoints();
    size_t i = 0;
    for (auto _ : state) {
        const GridPoint& p = points[i++ % points.size()];
        const ArcCoefficients arc = DeriveArcCoefficients(DeriveConstants(kGRS67));
        benchmark::DoNotOptimize(FastFootpointLatitude(arc, p.N * InverseScaleFactor));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FastFootpointLatitude);

// Sines of the arc's multiples of a Taiwan latitude: 2φ to 8φ, all above π/4.
static const double kArcArguments[] = {0.8369, 1.6738, 2.5108, 3.3477, 0.7854, 1.2, 2.9, 3.63};

static void BM_SinX87(benchmark::State& state)
{
    size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(Sin(kArcArguments[i++ % 8]));
}
BENCHMARK(BM_SinX87);

static void BM_SinLibrary(benchmark::State& state)
{
    size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(sinl(kArcArguments[i++ % 8]));
}
BENCHMARK(BM_SinLibrary);
