#pragma once

#include <optional>
#include <string>
#include <utility>

// Why a bookmark operation failed, worded for the user: the store's callers
// show `message` in a message box as it stands.
struct StoreError {
  std::string message;
};

// A value or the reason there is none. The store reports every failure of the
// database this way; nothing in it throws or prints.
template <typename T>
class StoreResult {
 public:
  StoreResult(T value) : value_(std::move(value)) {}
  StoreResult(StoreError error) : error_(std::move(error)) {}

  bool Ok() const { return value_.has_value(); }
  T& Value() & { return *value_; }
  const T& Value() const& { return *value_; }
  // By value from a temporary, so `for (auto& row : store.List().Value())`
  // does not walk a vector that is already gone.
  T Value() && { return std::move(*value_); }
  const StoreError& Error() const { return error_; }

 private:
  std::optional<T> value_;
  StoreError error_;
};
