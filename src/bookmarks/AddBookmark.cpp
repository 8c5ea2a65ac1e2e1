#include "AddBookmark.h"

#include <string>
#include <string_view>

#include "BookmarkStore.h"
#include "BookmarkView.h"

namespace {

constexpr const char* kNamePrompt = "What name would you like to give the image you see on the screen?";
constexpr const char* kNoName = "You did not supply an appropriate name.  The bookmark was not saved.";
constexpr const char* kNameInUse = "The name you supplied is already being used.  Please choose a different name.";

// Spaces around a typed name are never meant, and a name of spaces alone
// would be an invisible entry in the list.
std::string Trimmed(const std::string& text) {
  constexpr std::string_view kSpace = " \t\r\n\v\f";
  const auto first = text.find_first_not_of(kSpace);
  if (first == std::string::npos) return {};
  const auto last = text.find_last_not_of(kSpace);
  return text.substr(first, last - first + 1);
}

}  // namespace

AddBookmarkOutcome AddBookmark(const FractalRenderer& view, const std::filesystem::path& programFolder,
                               Dialogs& dialogs) {
  // The file is opened before the question, so a broken file is reported
  // before the user types a name in vain.
  auto store = BookmarkStore::Open(programFolder);
  if (!store.Ok()) {
    dialogs.ShowMessage(store.Error().message, MessageIcon::Stop);
    return AddBookmarkOutcome::Failed;
  }
  const std::string name = Trimmed(dialogs.InputBox(kNamePrompt, ""));
  if (name.empty()) {
    dialogs.ShowMessage(kNoName);
    return AddBookmarkOutcome::NoName;
  }
  auto existing = store.Value().Find(name);
  if (!existing.Ok()) {
    dialogs.ShowMessage(existing.Error().message, MessageIcon::Stop);
    return AddBookmarkOutcome::Failed;
  }
  if (existing.Value()) {
    dialogs.ShowMessage(kNameInUse, MessageIcon::Information);
    return AddBookmarkOutcome::NameInUse;
  }
  const auto added = store.Value().Add(BookmarkView::Capture(view, name));
  switch (added.status) {
    case BookmarkStore::AddStatus::Added:
      return AddBookmarkOutcome::Added;
    case BookmarkStore::AddStatus::BlankName:
      dialogs.ShowMessage(kNoName);
      return AddBookmarkOutcome::NoName;
    case BookmarkStore::AddStatus::NameInUse:
      // Another copy of the program took the name since the lookup.
      dialogs.ShowMessage(kNameInUse, MessageIcon::Information);
      return AddBookmarkOutcome::NameInUse;
    case BookmarkStore::AddStatus::Failed:
      break;
  }
  dialogs.ShowMessage(added.error.message, MessageIcon::Stop);
  return AddBookmarkOutcome::Failed;
}
