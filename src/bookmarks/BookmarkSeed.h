#pragma once

#include <string_view>

// The schema and initial rows of tblBookmarks (data/bookmarks.sql), built into
// the program so that a missing bookmark file can always be made afresh.
std::string_view BookmarkSeedSql();
