// quillory_seed_bookmarks FOLDER: makes FOLDER/data.mdb from the built-in seed
// when it is missing. The build runs it beside the executable; an existing
// file, with whatever bookmarks the user has added, is never replaced.
#include <filesystem>
#include <iostream>

#include "BookmarkStore.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "Usage: quillory_seed_bookmarks FOLDER\n";
    return 2;
  }
  const auto store = BookmarkStore::Open(std::filesystem::path(argv[1]));
  if (!store.Ok()) {
    // The message is worded for a message box; a build log wants one line.
    std::string line;
    for (const char character : store.Error().message) {
      if (character != '\r') line += character == '\n' ? ' ' : character;
    }
    std::cerr << "quillory_seed_bookmarks: " << line << "\n";
    return 1;
  }
  return 0;
}
