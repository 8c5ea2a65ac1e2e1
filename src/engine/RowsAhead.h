#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "BlockRow.h"

// Counts the rows of a pass ahead of the one being painted, on every core,
// while the renderer hands rows to its surface one at a time, in order. See
// RowsAhead.md for why a stale count can never be painted.
class RowsAhead {
 public:
  // One helper thread per core.
  RowsAhead();
  explicit RowsAhead(unsigned helperCount);
  // A copy has threads of its own and starts with nothing counted.
  RowsAhead(const RowsAhead& other);
  RowsAhead& operator=(const RowsAhead& other);
  ~RowsAhead();

  // The counts of the row of blocks whose top is `row`, exactly as the
  // reference loop gives them under `settings`. Meanwhile the helpers count
  // the rows below it, row + blockSize, row + 2 * blockSize, ..., under the
  // same settings. Counts made under other settings, or for rows other than
  // the one that follows the last row handed out, are dropped.
  void CountRow(const BlockRowSettings& settings, int row, std::vector<std::int32_t>& counts);
  // Drops everything counted ahead and leaves the helpers idle.
  void Discard();

  // Rows counted ahead and not yet handed out.
  std::size_t RowsReady() const;
  unsigned HelperCount() const { return helperCount_; }

 private:
  struct Row {
    int top = 0;
    bool done = false;
    std::vector<std::int32_t> counts;
  };

  static void Count(const BlockRowSettings& settings, int row, std::vector<double>& reals,
                    std::vector<std::int32_t>& counts);
  bool FollowsOn(const BlockRowSettings& settings, int row) const;
  void Restart(const BlockRowSettings& settings, int row);
  bool CanClaim() const;
  void HelperLoop();
  void Stop();

  const unsigned helperCount_;
  mutable std::mutex mutex_;
  std::condition_variable workReady_;
  std::condition_variable rowDone_;
  bool stopping_ = false;
  bool active_ = false;
  std::uint64_t generation_ = 0;
  BlockRowSettings settings_;
  // The rows claimed so far, from the next one to hand out on, in order.
  std::deque<Row> rows_;
  int nextTop_ = 0;
  std::size_t rowLimit_ = 0;
  unsigned idleHelpers_ = 0;
  std::vector<double> reals_;
  std::vector<std::thread> helpers_;
};
