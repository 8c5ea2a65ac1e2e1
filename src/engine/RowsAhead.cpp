#include "RowsAhead.h"

#include <algorithm>
#include <atomic>
#include <chrono>

#include "EscapeKernel.h"

namespace {

// Counts waiting to be painted are bounded by points, not rows, so that a
// wide surface holds a few hundred rows and a narrow one a whole pass.
constexpr std::size_t kPointsAhead = std::size_t{1} << 22;
constexpr std::size_t kMostRowsAhead = 4096;
// A row of a few thousand points takes well under this on a free core.
constexpr auto kLongestWait = std::chrono::milliseconds(3);

unsigned HelpersOfThisMachine() { return std::max(1u, std::thread::hardware_concurrency()); }

}  // namespace

RowsAhead::RowsAhead() : RowsAhead(HelpersOfThisMachine()) {}

RowsAhead::RowsAhead(unsigned helperCount) : helperCount_(helperCount) {}

RowsAhead::RowsAhead(const RowsAhead& other) : RowsAhead(other.helperCount_) {}

RowsAhead& RowsAhead::operator=(const RowsAhead& other) {
  if (this != &other) Discard();
  return *this;
}

RowsAhead::~RowsAhead() { Stop(); }

void RowsAhead::Stop() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  workReady_.notify_all();
  for (std::thread& helper : helpers_) helper.join();
  helpers_.clear();
}

void RowsAhead::Count(const BlockRowSettings& settings, int row, std::vector<double>& reals,
                      std::vector<std::int32_t>& counts) {
  const double imaginary = BlockRowPoints(settings, row, reals);
  counts.resize(reals.size());
  std::atomic<std::size_t> cursor{0};
  CountEscapes({settings.parameters, reals, imaginary, counts}, cursor);
}

bool RowsAhead::FollowsOn(const BlockRowSettings& settings, int row) const {
  if (!active_ || !settings.SameAs(settings_)) return false;
  return (rows_.empty() ? nextTop_ : rows_.front().top) == row;
}

void RowsAhead::Restart(const BlockRowSettings& settings, int row) {
  ++generation_;
  active_ = true;
  settings_ = settings;
  rows_.clear();
  nextTop_ = row;
  const std::size_t perRow = std::max<std::size_t>(settings.BlockCount(), 1);
  rowLimit_ = std::clamp<std::size_t>(kPointsAhead / perRow, 2 * std::size_t{helperCount_} + 1, kMostRowsAhead);
  if (helpers_.empty() && helperCount_ > 0) {
    helpers_.reserve(helperCount_);
    for (unsigned i = 0; i < helperCount_; ++i) helpers_.emplace_back([this] { HelperLoop(); });
  }
}

bool RowsAhead::CanClaim() const {
  return active_ && rows_.size() < rowLimit_ && nextTop_ < settings_.height && nextTop_ <= INT16_MAX;
}

void RowsAhead::CountRow(const BlockRowSettings& settings, int row, std::vector<std::int32_t>& counts) {
  std::unique_lock lock(mutex_);
  if (!FollowsOn(settings, row)) {
    Restart(settings, row);
    if (idleHelpers_ > 0) workReady_.notify_all();
  }
  if (rows_.empty()) {
    // Nobody has started on this row yet: count it here rather than wait for
    // a helper to wake up.
    rows_.push_back({row, false, {}});
    nextTop_ = row + settings.Step();
    if (idleHelpers_ > 0) workReady_.notify_all();
    lock.unlock();
    Count(settings, row, reals_, counts);
    lock.lock();
    rows_.pop_front();
  } else if (rowDone_.wait_for(lock, kLongestWait, [this] { return rows_.front().done; })) {
    counts.swap(rows_.front().counts);
    rows_.pop_front();
  } else {
    // The helper on this row has been held up (the cores are shared with
    // other programs); a window's timer tick must not wait for it, so the
    // row is counted again here and the helper's result dropped.
    rows_.pop_front();
    lock.unlock();
    Count(settings, row, reals_, counts);
    lock.lock();
  }
  if (idleHelpers_ > 0 && CanClaim()) workReady_.notify_one();
}

void RowsAhead::Discard() {
  std::lock_guard lock(mutex_);
  ++generation_;
  active_ = false;
  rows_.clear();
}

std::size_t RowsAhead::RowsReady() const {
  std::lock_guard lock(mutex_);
  return static_cast<std::size_t>(std::count_if(rows_.begin(), rows_.end(), [](const Row& row) { return row.done; }));
}

void RowsAhead::HelperLoop() {
  std::vector<double> reals;
  std::vector<std::int32_t> counts;
  std::unique_lock lock(mutex_);
  for (;;) {
    ++idleHelpers_;
    workReady_.wait(lock, [this] { return stopping_ || CanClaim(); });
    --idleHelpers_;
    if (stopping_) return;
    const std::uint64_t generation = generation_;
    const BlockRowSettings settings = settings_;
    const int top = nextTop_;
    rows_.push_back({top, false, {}});
    nextTop_ = top + settings.Step();
    lock.unlock();
    Count(settings, top, reals, counts);
    lock.lock();
    // Rows of an older generation were dropped while they were counted.
    if (generation != generation_) continue;
    // Rows leave from the front only: counted, or taken over by the painter.
    if (rows_.empty() || top < rows_.front().top) continue;
    const std::size_t index = static_cast<std::size_t>((top - rows_.front().top) / settings.Step());
    Row& row = rows_[index];
    row.counts.swap(counts);
    row.done = true;
    if (index == 0) rowDone_.notify_one();
  }
}
