#pragma once

#include <filesystem>

#include "Dialogs.h"
#include "FractalRenderer.h"

enum class AddBookmarkOutcome { Added, NoName, NameInUse, Failed };

// The main window's "Add" command: asks for a name and stores the current
// view of `view` under it, refusing a blank name or one already used. Every
// refusal or failure is reported through `dialogs`; a successful add is silent.
AddBookmarkOutcome AddBookmark(const FractalRenderer& view, const std::filesystem::path& programFolder,
                               Dialogs& dialogs);
