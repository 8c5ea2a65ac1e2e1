// libFuzzer entry for bookmark rows another program may have written: any
// values of any SQLite type in the table's columns must list, and a row is
// handed out to apply only when its view can be shown.
#include <sqlite3.h>
#include <unistd.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>

#include "BookmarkStore.h"
#include "BookmarkView.h"
#include "FractalRenderer.h"
#include "MemorySurface.h"

namespace {

class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool Empty() const { return used_ >= size_; }
  std::uint8_t Byte() { return Empty() ? 0 : data_[used_++]; }
  std::string Text() {
    const std::size_t wanted = Byte() % 24;
    const std::size_t length = std::min(wanted, size_ - std::min(used_, size_));
    std::string text(reinterpret_cast<const char*>(data_ + used_), length);
    used_ += length;
    return text;
  }
  std::uint64_t Bits() {
    std::uint64_t bits = 0;
    for (int i = 0; i < 8; ++i) bits = bits << 8 | Byte();
    return bits;
  }
  double Real() {
    const std::uint64_t bits = Bits();
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t used_ = 0;
};

// One column value of any of SQLite's types.
void BindAny(sqlite3_stmt* statement, int column, Input& input) {
  switch (input.Byte() % 5) {
    case 0: sqlite3_bind_null(statement, column); break;
    case 1: sqlite3_bind_int64(statement, column, static_cast<sqlite3_int64>(input.Bits())); break;
    case 2: sqlite3_bind_double(statement, column, input.Real()); break;
    case 3: sqlite3_bind_text(statement, column, input.Text().c_str(), -1, SQLITE_TRANSIENT); break;
    default: {
      const std::string bytes = input.Text();
      sqlite3_bind_blob(statement, column, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
    }
  }
}

const std::filesystem::path& Folder() {
  static const std::filesystem::path folder = [] {
    auto path = std::filesystem::temp_directory_path() / ("quillory-fuzz-rows-" + std::to_string(getpid()));
    std::filesystem::create_directories(path);
    return path;
  }();
  return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static std::optional<BookmarkStore> store;
  static sqlite3* raw = nullptr;
  if (!store) {
    store.emplace(std::move(BookmarkStore::Open(Folder()).Value()));
    sqlite3_open((Folder() / "data.mdb").c_str(), &raw);
    // The rows are scratch: no need to wait for the disk between inputs.
    sqlite3_exec(raw, "PRAGMA synchronous = OFF; PRAGMA journal_mode = MEMORY", nullptr, nullptr, nullptr);
  }
  sqlite3_exec(raw, "DELETE FROM tblBookmarks", nullptr, nullptr, nullptr);
  Input input(data, size);
  sqlite3_stmt* insert = nullptr;
  sqlite3_prepare_v2(raw, "INSERT INTO tblBookmarks VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)", -1, &insert, nullptr);
  for (int row = 0; row < 4 && !input.Empty(); ++row) {
    for (int column = 1; column <= 8; ++column) BindAny(insert, column, input);
    sqlite3_step(insert);  // the table's own constraints may refuse the row
    sqlite3_reset(insert);
  }
  sqlite3_finalize(insert);

  const auto listed = store->List();
  if (!listed.Ok()) std::abort();
  // One renderer for the whole run: a fresh one per input spent most of the
  // time starting and stopping its threads.
  static MemorySurface surface(16, 12);
  static FractalRenderer renderer;
  for (const Bookmark& bookmark : listed.Value()) {
    const auto found = store->Find(bookmark.name);
    if (!found.Ok()) continue;  // reported, not applied
    if (!found.Value()) std::abort();
    const Bookmark& view = *found.Value();
    if (!(view.windowWidth > 0) || !std::isfinite(view.windowWidth) || !std::isfinite(view.centerX)) std::abort();
    renderer.Initialize(surface);
    BookmarkView::Apply(view, renderer, BookmarkView::JuliaPoint::Always);
    renderer.SetMaxIterations(std::min(renderer.GetMaxIterations(), 64));
    renderer.Redraw(true);
    while (renderer.RendererCallback()) {
    }
  }
  return 0;
}
