#include "BookmarkFolder.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

void BookmarkFolder::WriteDataFile(const std::string& bytes) const {
  std::ofstream(DataFile(), std::ios::binary) << bytes;
}

std::string BookmarkFolder::ReadDataFile() const {
  if (!std::filesystem::is_regular_file(DataFile())) return {};
  std::ifstream in(DataFile(), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

BookmarkStore BookmarkFolder::OpenEmptyStore() const {
  auto store = BookmarkStore::Open(Path());
  if (!store.Ok()) throw std::runtime_error(store.Error().message);
  // One statement rather than a delete per shipped view keeps the tests quick.
  auto connection = SqliteConnection::Open(DataFile(), SqliteConnection::OpenMode::ExistingFile);
  if (!connection.Ok()) throw std::runtime_error(connection.Error().message);
  if (auto error = connection.Value().Execute("DELETE FROM tblBookmarks")) throw std::runtime_error(error->message);
  return std::move(store.Value());
}

std::vector<std::string> NamesOf(const std::vector<Bookmark>& bookmarks) {
  std::vector<std::string> names;
  for (const Bookmark& bookmark : bookmarks) names.push_back(bookmark.name);
  return names;
}
