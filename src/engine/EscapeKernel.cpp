// The escape-count kernel, compiled once per instruction set by Highway and
// chosen at run time. See EscapeKernel.md for how lanes are scheduled.
#include "EscapeKernel.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <utility>

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "EscapeKernel.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>

#ifndef QUILLORY_ESCAPE_KERNEL_SHARED
#define QUILLORY_ESCAPE_KERNEL_SHARED
namespace quillory::kernel {

// Hands out the points of a row in small batches, so that threads sharing a
// cursor touch it rarely yet finish the row together.
class PointSupply {
 public:
  PointSupply(std::size_t size, std::atomic<std::size_t>& cursor)
      : size_(size), batch_(std::clamp<std::size_t>(size / 64, 8, 64)), cursor_(cursor) {}

  bool Next(std::size_t& index) {
    if (next_ == end_) {
      const std::size_t begin = cursor_.fetch_add(batch_, std::memory_order_relaxed);
      if (begin >= size_) return false;
      next_ = begin;
      end_ = std::min(begin + batch_, size_);
    }
    index = next_++;
    return true;
  }

 private:
  std::size_t size_;
  std::size_t batch_;
  std::atomic<std::size_t>& cursor_;
  std::size_t next_ = 0;
  std::size_t end_ = 0;
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
// latency is hidden behind the others' work.
constexpr std::size_t kGroups = 4;
constexpr std::size_t kMaxLanes = HWY_MAX_BYTES / sizeof(double);
constexpr std::size_t kMaxSlots = kGroups * kMaxLanes;
// Steps between looks at the lanes: a lane that finishes mid-chunk idles
// until the chunk ends, so short chunks waste less, long ones look less often.
constexpr double kChunkSteps = 8.0;

// Every lane ("slot") follows one point. A slot's count is the index n of its
// current orbit value z_n, which has not been tested against the escape
// radius yet. The saved value is a checkpoint of the same orbit: meeting it
// again bit for bit means the orbit repeats and never escapes.
struct Slots {
  alignas(64) double zReal[kMaxSlots];
  alignas(64) double zImaginary[kMaxSlots];
  alignas(64) double cReal[kMaxSlots];
  alignas(64) double cImaginary[kMaxSlots];
  alignas(64) double savedReal[kMaxSlots];
  alignas(64) double savedImaginary[kMaxSlots];
  alignas(64) double count[kMaxSlots];
  alignas(64) double nextCheckpoint[kMaxSlots];
  std::int64_t point[kMaxSlots];
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

// Starts the slot on the next point, or parks it when the row is used up.
bool Refill(Slots& slots, std::size_t slot, const EscapeRow& row, kernel::PointSupply& supply) {
  std::size_t index = 0;
  if (!supply.Next(index)) {
    // A parked lane neither escapes (NaN is never above 4), nor meets its
    // checkpoint (NaN bits differ from zero), nor counts (-inf stays -inf).
    const double nan = std::numeric_limits<double>::quiet_NaN();
    slots.zReal[slot] = slots.zImaginary[slot] = nan;
    slots.cReal[slot] = slots.cImaginary[slot] = nan;
    slots.savedReal[slot] = slots.savedImaginary[slot] = 0.0;
    slots.count[slot] = -std::numeric_limits<double>::infinity();
    slots.nextCheckpoint[slot] = std::numeric_limits<double>::infinity();
    slots.point[slot] = -1;
    return false;
  }
  const EscapeParameters& parameters = row.parameters;
  const ComplexNumber point{row.reals[index], row.imaginary};
  const ComplexNumber c = parameters.isJulia ? parameters.juliaPoint : point;
  const ComplexNumber z = FirstStep(parameters.isJulia ? point : ComplexNumber{}, c);
  slots.zReal[slot] = slots.savedReal[slot] = z.real;
  slots.zImaginary[slot] = slots.savedImaginary[slot] = z.imaginary;
  slots.cReal[slot] = c.real;
  slots.cImaginary[slot] = c.imaginary;
  slots.count[slot] = 1.0;
  slots.nextCheckpoint[slot] = 2.0;
  slots.point[slot] = static_cast<std::int64_t>(index);
  return true;
}

double HighestCount(const Slots& slots, std::size_t slotCount) {
  double highest = -std::numeric_limits<double>::infinity();
  for (std::size_t slot = 0; slot < slotCount; ++slot) highest = std::max(highest, slots.count[slot]);
  return highest;
}

bool LaneBit(const std::uint8_t* bits, std::size_t lane) { return ((bits[lane / 8] >> (lane % 8)) & 1) != 0; }

// Runs `steps` iterations on every slot, then writes back the lanes and
// settles those that finished. Returns how many slots are still working.
std::size_t RunChunk(Slots& slots, std::size_t activeSlots, double steps, double cap, const EscapeRow& row,
                     kernel::PointSupply& supply) {
  const D d;
  const hn::RebindToUnsigned<D> du;
  using MaskU = decltype(hn::Eq(hn::Zero(du), hn::Zero(du)));
  using MaskD = decltype(hn::Eq(hn::Zero(d), hn::Zero(d)));
  const std::size_t lanes = hn::Lanes(d);

  const V four = hn::Set(d, 4.0);
  const V two = hn::Set(d, 2.0);
  const V one = hn::Set(d, 1.0);
  const V offsetReal = hn::Set(d, kStepOffset.real);
  const V offsetImaginary = hn::Set(d, kStepOffset.imaginary);

  V zReal[kGroups], zImaginary[kGroups], cReal[kGroups], cImaginary[kGroups];
  V savedReal[kGroups], savedImaginary[kGroups], count[kGroups];
  MaskD alive[kGroups];
  MaskU cycled[kGroups];
  for (std::size_t g = 0; g < kGroups; ++g) {
    const std::size_t first = g * lanes;
    zReal[g] = hn::Load(d, slots.zReal + first);
    zImaginary[g] = hn::Load(d, slots.zImaginary + first);
    cReal[g] = hn::Load(d, slots.cReal + first);
    cImaginary[g] = hn::Load(d, slots.cImaginary + first);
    savedReal[g] = hn::Load(d, slots.savedReal + first);
    savedImaginary[g] = hn::Load(d, slots.savedImaginary + first);
    count[g] = hn::Load(d, slots.count + first);
    alive[g] = hn::FirstN(d, lanes);
    cycled[g] = hn::FirstN(du, 0);
  }

  const int stepCount = static_cast<int>(steps);
  for (int step = 0; step < stepCount; ++step) {
    for (std::size_t g = 0; g < kGroups; ++g) {
      // The reference's operations in the reference's order: the squares of
      // the escape test are the squares of the next step.
      const V realSquared = hn::Mul(zReal[g], zReal[g]);
      const V imaginarySquared = hn::Mul(zImaginary[g], zImaginary[g]);
      const V cross = hn::Mul(zReal[g], zImaginary[g]);
      alive[g] = hn::AndNot(hn::Gt(hn::Add(realSquared, imaginarySquared), four), alive[g]);
      count[g] = hn::IfThenElse(alive[g], hn::Add(count[g], one), count[g]);
      zReal[g] = hn::Add(hn::Add(hn::Sub(realSquared, imaginarySquared), cReal[g]), offsetReal);
      zImaginary[g] = hn::Add(hn::Add(hn::Mul(cross, two), cImaginary[g]), offsetImaginary);
      const MaskU sameReal = hn::Eq(hn::BitCast(du, zReal[g]), hn::BitCast(du, savedReal[g]));
      const MaskU sameImaginary = hn::Eq(hn::BitCast(du, zImaginary[g]), hn::BitCast(du, savedImaginary[g]));
      cycled[g] = hn::Or(cycled[g], hn::And(sameReal, sameImaginary));
    }
  }

  const V capVector = hn::Set(d, cap);
  for (std::size_t g = 0; g < kGroups; ++g) {
    const std::size_t first = g * lanes;
    // Checkpoints move further apart as the orbit ages, so a cycle of any
    // length is met once the checkpoint lies inside it.
    const MaskD due = hn::Ge(count[g], hn::Load(d, slots.nextCheckpoint + first));
    hn::Store(hn::IfThenElse(due, zReal[g], savedReal[g]), d, slots.savedReal + first);
    hn::Store(hn::IfThenElse(due, zImaginary[g], savedImaginary[g]), d, slots.savedImaginary + first);
    hn::Store(hn::IfThenElse(due, hn::Add(count[g], count[g]), hn::Load(d, slots.nextCheckpoint + first)), d,
              slots.nextCheckpoint + first);
    hn::Store(zReal[g], d, slots.zReal + first);
    hn::Store(zImaginary[g], d, slots.zImaginary + first);
    hn::Store(count[g], d, slots.count + first);

    const MaskD repeated = hn::RebindMask(d, cycled[g]);
    const MaskD finished = hn::Or(hn::Not(alive[g]), hn::Or(repeated, hn::Gt(count[g], capVector)));
    if (hn::AllFalse(d, finished)) continue;
    std::uint8_t aliveBits[8] = {};
    std::uint8_t repeatedBits[8] = {};
    hn::StoreMaskBits(d, alive[g], aliveBits);
    hn::StoreMaskBits(d, repeated, repeatedBits);
    for (std::size_t lane = 0; lane < lanes; ++lane) {
      const std::size_t slot = first + lane;
      if (slots.point[slot] < 0) continue;
      double result = 0.0;
      if (!LaneBit(aliveBits, lane)) {
        // Escaped: the count stopped at the step that left the disc, even if
        // the value went on to repeat (infinities and NaN do).
        result = slots.count[slot];
      } else if (LaneBit(repeatedBits, lane) || slots.count[slot] > cap) {
        result = cap;
      } else {
        continue;
      }
      row.counts[static_cast<std::size_t>(slots.point[slot])] = static_cast<std::int32_t>(result);
      if (!Refill(slots, slot, row, supply)) --activeSlots;
    }
  }
  return activeSlots;
}

void CountEscapesOnTarget(const EscapeRow& sharedRow, std::atomic<std::size_t>& cursor) {
  // A copy of our own, so reading it never waits for a cache line that
  // another thread's claims keep taking away.
  const EscapeRow row = sharedRow;
  const D d;
  const std::size_t slotCount = kGroups * hn::Lanes(d);
  // A cap below 1 still counts the first step, as the reference does.
  const double cap = std::max<std::int32_t>(row.parameters.maxIterations, 1);
  kernel::PointSupply supply(std::min(row.reals.size(), row.counts.size()), cursor);
  Slots slots;
  std::size_t activeSlots = 0;
  for (std::size_t slot = 0; slot < slotCount; ++slot)
    if (Refill(slots, slot, row, supply)) ++activeSlots;
  // No lane may test a value beyond the cap, so the oldest lane bounds the
  // chunk's length. Counts only grow by the chunk and refilled lanes start
  // at 1, so a running bound serves until the cap comes near.
  double highestBound = 1.0;
  while (activeSlots > 0) {
    if (highestBound + kChunkSteps > cap + 1.0) highestBound = HighestCount(slots, slotCount);
    const double steps = std::min(kChunkSteps, cap + 1.0 - highestBound);
    activeSlots = RunChunk(slots, activeSlots, steps, cap, row, supply);
    highestBound += steps;
  }
}

std::int64_t TargetOfThisCode() { return HWY_TARGET; }

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

// The kernels this build holds that this processor runs, best first.
const std::vector<Kernel>& KernelsOfThisProcessor() {
  static const std::vector<Kernel> kernels = [] {
    using TargetFunction = std::int64_t (*)();
    const std::pair<TargetFunction, CountFunction> built[] = {
        {HWY_CHOOSE_AVX3(TargetOfThisCode), HWY_CHOOSE_AVX3(CountEscapesOnTarget)},
        {HWY_CHOOSE_AVX2(TargetOfThisCode), HWY_CHOOSE_AVX2(CountEscapesOnTarget)},
        {HWY_CHOOSE_SSE4(TargetOfThisCode), HWY_CHOOSE_SSE4(CountEscapesOnTarget)},
        {HWY_CHOOSE_SSSE3(TargetOfThisCode), HWY_CHOOSE_SSSE3(CountEscapesOnTarget)},
        {HWY_CHOOSE_FALLBACK(TargetOfThisCode), HWY_CHOOSE_FALLBACK(CountEscapesOnTarget)},
    };
    std::vector<Kernel> usable;
    for (const auto& [target, count] : built) {
      if (target == nullptr || count == nullptr || !RunsHere(target())) continue;
      const bool seen = std::any_of(usable.begin(), usable.end(),
                                    [&](const Kernel& kernel) { return kernel.target == target(); });
      if (!seen) usable.push_back({target(), count});
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
