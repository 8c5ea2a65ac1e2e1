// The escape-count kernel, compiled once per instruction set by Highway and
// chosen at run time. See EscapeKernel.md for how lanes are scheduled.
#include "EscapeKernel.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "EscapeKernel.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>

#ifndef QUILLORY_ESCAPE_KERNEL_SHARED
#define QUILLORY_ESCAPE_KERNEL_SHARED
namespace quillory::kernel {

// Points a thread takes from the row at a time: enough that few survive
// their first steps yet still fill vectors, few enough that threads sharing
// a cursor finish the row together.
constexpr std::size_t kMaxBatch = 512;

// Hands out the points of a row in batches of neighbours.
class PointSupply {
 public:
  PointSupply(std::size_t size, std::atomic<std::size_t>& cursor)
      : size_(size), batch_(std::clamp<std::size_t>(size / 8, 32, kMaxBatch)), cursor_(cursor) {}

  bool Next(std::size_t& begin, std::size_t& end) {
    begin = cursor_.fetch_add(batch_, std::memory_order_relaxed);
    if (begin >= size_) return false;
    end = std::min(begin + batch_, size_);
    return true;
  }

 private:
  std::size_t size_;
  std::size_t batch_;
  std::atomic<std::size_t>& cursor_;
};

}  // namespace quillory::kernel
#endif  // QUILLORY_ESCAPE_KERNEL_SHARED

HWY_BEFORE_NAMESPACE();
namespace quillory {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

using D = hn::ScalableTag<double>;
using V = hn::Vec<D>;

// Independent vectors stepped together, so that one vector's multiply
// latency is hidden behind the others' work. With a fourth, the loop's masks
// no longer fit the widest target's mask registers and go through memory.
constexpr std::size_t kGroups = 3;
constexpr std::size_t kMaxLanes = HWY_MAX_BYTES / sizeof(double);
constexpr std::size_t kMaxSlots = kGroups * kMaxLanes;
// Room past the batch for the vectors that reach beyond its last point.
constexpr std::size_t kCapacity = kernel::kMaxBatch + kMaxSlots;

// The points of a batch still running, packed at the front. Every one has
// run the same steps, so they share one count: the index n of their current
// orbit value z_n, not yet tested against the escape radius. The saved value
// is a checkpoint of the same orbit: meeting it again bit for bit means the
// orbit repeats and never escapes.
struct Batch {
  alignas(64) double zReal[kCapacity];
  alignas(64) double zImaginary[kCapacity];
  alignas(64) double cReal[kCapacity];
  alignas(64) double cImaginary[kCapacity];
  alignas(64) double savedReal[kCapacity];
  alignas(64) double savedImaginary[kCapacity];
  alignas(64) double point[kCapacity];  // the index in the row, exact as a double
  std::size_t size = 0;
  double count = 1.0;
  double nextCheckpoint = 2.0;
};

// FractalStep written out with the same operations in the same order, so it
// gives the same bits; inlined here because a call per point costs more than
// the step.
ComplexNumber FirstStep(ComplexNumber z, ComplexNumber c) {
  const double realSquared = z.real * z.real;
  const double imaginarySquared = z.imaginary * z.imaginary;
  const double cross = z.real * z.imaginary;
  return {((realSquared - imaginarySquared) + c.real) + kStepOffset.real,
          ((cross * 2.0) + c.imaginary) + kStepOffset.imaginary};
}

// Starts the batch on the row's points from `begin` to `end`, each at z_1.
void StartBatch(Batch& batch, const EscapeRow& row, std::size_t begin, std::size_t end) {
  const EscapeParameters& parameters = row.parameters;
  std::size_t slot = 0;
  for (std::size_t index = begin; index < end; ++index, ++slot) {
    const ComplexNumber point{row.reals[index], row.imaginary};
    const ComplexNumber c = parameters.isJulia ? parameters.juliaPoint : point;
    const ComplexNumber z = FirstStep(parameters.isJulia ? point : ComplexNumber{}, c);
    batch.zReal[slot] = batch.savedReal[slot] = z.real;
    batch.zImaginary[slot] = batch.savedImaginary[slot] = z.imaginary;
    batch.cReal[slot] = c.real;
    batch.cImaginary[slot] = c.imaginary;
    batch.point[slot] = static_cast<double>(index);
  }
  batch.size = slot;
  // The vectors past the last point step harmless values, never read back.
  for (std::size_t rest = slot; rest < kCapacity && rest % kMaxSlots != 0; ++rest) {
    batch.zReal[rest] = batch.zImaginary[rest] = batch.cReal[rest] = batch.cImaginary[rest] = 0.0;
    batch.savedReal[rest] = batch.savedImaginary[rest] = 1.0;
  }
  batch.count = 1.0;
  batch.nextCheckpoint = 2.0;
}

// The lanes of `v` that `keep` selects, moved to the front. Highway's own
// version for eight doubles builds a table on the stack at every call, which
// costs more than a round of steps; the processor's instruction does it in
// registers. Lanes are only moved, so the counts cannot change.
template <class M>
V PackLanes(V v, M keep) {
#if HWY_TARGET == HWY_AVX3 || HWY_TARGET == HWY_AVX3_DL
  return V{_mm512_maskz_compress_pd(keep.raw, v.raw)};
#else
  return hn::Compress(v, keep);
#endif
}

// Steps between looks at the lanes. A lane that finishes mid-round idles
// until the round ends, and most points of a picture leave within a few
// steps, so the first rounds are short; later ones, of the points that
// stay, are longer, to look and pack less often.
double RoundSteps(double count) { return count < 4.0 ? 4.0 : (count < 16.0 ? 8.0 : 16.0); }

// Runs one round over the whole batch: every point takes `steps` steps;
// those that escaped, repeated or reached the cap write their counts, the
// rest are packed to the front for the next round.
void RunRound(Batch& batch, double steps, bool checkpointDue, double cap, const EscapeRow& row) {
  const D d;
  const std::size_t lanes = hn::Lanes(d);
  const hn::RebindToUnsigned<D> du;
  using MaskU = decltype(hn::Eq(hn::Zero(du), hn::Zero(du)));
  using MaskD = decltype(hn::Eq(hn::Zero(d), hn::Zero(d)));

  const V four = hn::Set(d, 4.0);
  const V one = hn::Set(d, 1.0);
  const V offsetReal = hn::Set(d, kStepOffset.real);
  const V offsetImaginary = hn::Set(d, kStepOffset.imaginary);
  const V startCount = hn::Set(d, batch.count);
  const V capVector = hn::Set(d, cap);
  const int stepCount = static_cast<int>(steps);

  std::size_t kept = 0;
  for (std::size_t read = 0; read < batch.size; read += kGroups * lanes) {
    V zReal[kGroups], zImaginary[kGroups], cReal[kGroups], cImaginary[kGroups];
    V savedReal[kGroups], savedImaginary[kGroups], count[kGroups];
    MaskD alive[kGroups];
    MaskU cycled[kGroups];
    for (std::size_t g = 0; g < kGroups; ++g) {
      const std::size_t first = read + g * lanes;
      zReal[g] = hn::Load(d, batch.zReal + first);
      zImaginary[g] = hn::Load(d, batch.zImaginary + first);
      cReal[g] = hn::Load(d, batch.cReal + first);
      cImaginary[g] = hn::Load(d, batch.cImaginary + first);
      savedReal[g] = hn::Load(d, batch.savedReal + first);
      savedImaginary[g] = hn::Load(d, batch.savedImaginary + first);
      count[g] = startCount;
      alive[g] = hn::FirstN(d, lanes);
      cycled[g] = hn::FirstN(du, 0);
    }

    for (int step = 0; step < stepCount; ++step) {
      for (std::size_t g = 0; g < kGroups; ++g) {
        // The reference's operations in the reference's order: the squares
        // of the escape test are the squares of the next step, and doubling
        // by an addition is exact, as the reference's product by 2 is.
        const V realSquared = hn::Mul(zReal[g], zReal[g]);
        const V imaginarySquared = hn::Mul(zImaginary[g], zImaginary[g]);
        const V cross = hn::Mul(zReal[g], zImaginary[g]);
        alive[g] = hn::AndNot(hn::Gt(hn::Add(realSquared, imaginarySquared), four), alive[g]);
        count[g] = hn::IfThenElse(alive[g], hn::Add(count[g], one), count[g]);
        zReal[g] = hn::Add(hn::Add(hn::Sub(realSquared, imaginarySquared), cReal[g]), offsetReal);
        zImaginary[g] = hn::Add(hn::Add(hn::Add(cross, cross), cImaginary[g]), offsetImaginary);
        const MaskU sameReal = hn::Eq(hn::BitCast(du, zReal[g]), hn::BitCast(du, savedReal[g]));
        const MaskU sameImaginary = hn::Eq(hn::BitCast(du, zImaginary[g]), hn::BitCast(du, savedImaginary[g]));
        cycled[g] = hn::Or(cycled[g], hn::And(sameReal, sameImaginary));
      }
    }

    for (std::size_t g = 0; g < kGroups; ++g) {
      const std::size_t first = read + g * lanes;
      const MaskD inBatch = hn::FirstN(d, first < batch.size ? batch.size - first : 0);
      const MaskD finished =
          hn::And(inBatch, hn::Or(hn::Not(alive[g]), hn::Or(hn::RebindMask(d, cycled[g]), hn::Gt(count[g], capVector))));
      const V point = hn::Load(d, batch.point + first);
      if (!hn::AllFalse(d, finished)) {
        // Escaped lanes keep the count of the step that left the disc, even
        // if the value went on to repeat (infinities and NaN do); the others
        // end at the cap.
        alignas(64) double results[kMaxLanes];
        alignas(64) double points[kMaxLanes];
        hn::Store(hn::IfThenElse(alive[g], capVector, count[g]), d, results);
        hn::Store(point, d, points);
        std::uint8_t finishedBits[8] = {};
        hn::StoreMaskBits(d, finished, finishedBits);
        for (std::size_t byte = 0; byte * 8 < lanes; ++byte)
          for (unsigned bits = finishedBits[byte]; bits != 0; bits &= bits - 1) {
            const std::size_t lane = byte * 8 + static_cast<std::size_t>(std::countr_zero(bits));
            row.counts[static_cast<std::size_t>(points[lane])] = static_cast<std::int32_t>(results[lane]);
          }
      }
      // Packing never overtakes the reading: these vectors are loaded already.
      const MaskD keep = hn::AndNot(finished, inBatch);
      const V newSavedReal = checkpointDue ? zReal[g] : savedReal[g];
      const V newSavedImaginary = checkpointDue ? zImaginary[g] : savedImaginary[g];
      hn::StoreU(PackLanes(zReal[g], keep), d, batch.zReal + kept);
      hn::StoreU(PackLanes(zImaginary[g], keep), d, batch.zImaginary + kept);
      hn::StoreU(PackLanes(cReal[g], keep), d, batch.cReal + kept);
      hn::StoreU(PackLanes(cImaginary[g], keep), d, batch.cImaginary + kept);
      hn::StoreU(PackLanes(newSavedReal, keep), d, batch.savedReal + kept);
      hn::StoreU(PackLanes(newSavedImaginary, keep), d, batch.savedImaginary + kept);
      hn::StoreU(PackLanes(point, keep), d, batch.point + kept);
      kept += hn::CountTrue(d, keep);
    }
  }
  // The packed tail holds points already finished; they step harmlessly.
  batch.size = kept;
}

void CountEscapesOnTarget(const EscapeRow& sharedRow, std::atomic<std::size_t>& cursor) {
  // A copy of our own, so reading it never waits for a cache line that
  // another thread's claims keep taking away.
  const EscapeRow row = sharedRow;
  // A cap below 1 still counts the first step, as the reference does.
  const double cap = std::max<std::int32_t>(row.parameters.maxIterations, 1);
  kernel::PointSupply supply(std::min(row.reals.size(), row.counts.size()), cursor);
  Batch batch;
  std::size_t begin = 0;
  std::size_t end = 0;
  while (supply.Next(begin, end)) {
    StartBatch(batch, row, begin, end);
    while (batch.size > 0) {
      // No point may test a value beyond the cap.
      const double steps = std::min(RoundSteps(batch.count), cap + 1.0 - batch.count);
      // Checkpoints move further apart as the orbit ages, so a cycle of any
      // length is met once the checkpoint lies inside it; most cycles are
      // short, so the gap grows slowly once it spans a round.
      const bool checkpointDue = batch.count + steps >= batch.nextCheckpoint;
      RunRound(batch, steps, checkpointDue, cap, row);
      batch.count += steps;
      if (checkpointDue)
        batch.nextCheckpoint = batch.count + std::max(std::min(batch.count, 16.0), batch.count / 4.0);
    }
  }
}

}  // namespace HWY_NAMESPACE
}  // namespace quillory
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace quillory {
namespace {

using CountFunction = void (*)(const EscapeRow&, std::atomic<std::size_t>&);

struct Kernel {
  std::int64_t target = 0;
  CountFunction count = nullptr;
};

// Whether this processor, and the system's saving of its registers, runs the
// code Highway generates for `target`: the instruction sets the compiler was
// allowed for it, as its per-target code lists them. The choice is made here
// rather than by Highway's library, which would measure its timers each
// time a program loads it, a cost larger than a small render.
bool RunsHere(std::int64_t target) {
#if HWY_ARCH_X86
  // GCC's checks include the system's support for the wider registers.
  const bool ssse3 = __builtin_cpu_supports("sse2") && __builtin_cpu_supports("ssse3");
  const bool sse4 = ssse3 && __builtin_cpu_supports("sse4.1") && __builtin_cpu_supports("sse4.2") &&
                    __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("aes");
  const bool avx2 = sse4 && __builtin_cpu_supports("avx") && __builtin_cpu_supports("avx2") &&
                    __builtin_cpu_supports("bmi") && __builtin_cpu_supports("bmi2") &&
                    __builtin_cpu_supports("fma") && __builtin_cpu_supports("f16c");
  const bool avx3 = avx2 && __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl") &&
                    __builtin_cpu_supports("avx512dq") && __builtin_cpu_supports("avx512bw");
  switch (target) {
    case HWY_AVX3: return avx3;
    case HWY_AVX2: return avx2;
    case HWY_SSE4: return sse4;
    case HWY_SSSE3: return ssse3;
    default: break;
  }
#endif
  // The code every build of this program may assume.
  return target == HWY_STATIC_TARGET || target == HWY_EMU128 || target == HWY_SCALAR;
}

// The code Highway builds when it builds no better one.
#if HWY_TARGETS & HWY_EMU128
constexpr std::int64_t kFallbackTarget = HWY_EMU128;
#elif HWY_TARGETS & HWY_SCALAR
constexpr std::int64_t kFallbackTarget = HWY_SCALAR;
#else
constexpr std::int64_t kFallbackTarget = HWY_STATIC_TARGET;
#endif

// The kernels this build holds that this processor runs, best first.
const std::vector<Kernel>& KernelsOfThisProcessor() {
  static const std::vector<Kernel> kernels = [] {
    const Kernel built[] = {
        {HWY_AVX3, HWY_CHOOSE_AVX3(CountEscapesOnTarget)},
        {HWY_AVX2, HWY_CHOOSE_AVX2(CountEscapesOnTarget)},
        {HWY_SSE4, HWY_CHOOSE_SSE4(CountEscapesOnTarget)},
        {HWY_SSSE3, HWY_CHOOSE_SSSE3(CountEscapesOnTarget)},
        {kFallbackTarget, HWY_CHOOSE_FALLBACK(CountEscapesOnTarget)},
    };
    std::vector<Kernel> usable;
    for (const Kernel& kernel : built) {
      if (kernel.count == nullptr || !RunsHere(kernel.target)) continue;
      const bool seen = std::any_of(usable.begin(), usable.end(),
                                    [&](const Kernel& other) { return other.target == kernel.target; });
      if (!seen) usable.push_back(kernel);
    }
    std::sort(usable.begin(), usable.end(),
              [](const Kernel& a, const Kernel& b) { return a.target < b.target; });  // lower bits are better
    return usable;
  }();
  return kernels;
}

// The kernel in use, shared by every thread.
std::atomic<const Kernel*>& ActiveKernel() {
  static std::atomic<const Kernel*> active{&KernelsOfThisProcessor().front()};
  return active;
}

}  // namespace
}  // namespace quillory

void CountEscapes(const EscapeRow& row, std::atomic<std::size_t>& cursor) {
  quillory::ActiveKernel().load(std::memory_order_relaxed)->count(row, cursor);
}

std::vector<std::int64_t> EscapeKernelTargets() {
  const auto& kernels = quillory::KernelsOfThisProcessor();
  const quillory::Kernel* active = quillory::ActiveKernel().load();
  // While one is forced, only that one.
  if (active != &kernels.front()) return {active->target};
  std::vector<std::int64_t> targets;
  for (const quillory::Kernel& kernel : kernels) targets.push_back(kernel.target);
  return targets;
}

std::string EscapeKernelTargetName(std::int64_t target) { return hwy::TargetName(target); }

void ForceEscapeKernelTarget(std::int64_t target) {
  const auto& kernels = quillory::KernelsOfThisProcessor();
  const auto chosen = std::find_if(kernels.begin(), kernels.end(),
                                   [&](const quillory::Kernel& kernel) { return kernel.target == target; });
  quillory::ActiveKernel().store(chosen == kernels.end() ? &kernels.front() : &*chosen);
}

std::int64_t ActiveEscapeKernelTarget() { return quillory::ActiveKernel().load()->target; }
#endif  // HWY_ONCE
