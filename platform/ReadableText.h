// SPDX-License-Identifier: MIT
// Messages as a person can read them, in a box, on the standard error or in the inspector's
// panels. A message may carry what a user's file or environment holds (a 40 KB path, a 60 KB
// settings line): as it stands, it would make a box wider than any screen, and drawn by Dear
// ImGui it would need more vertices than its 16-bit indices reach.
#pragma once

#include <cstddef>
#include <string>

// A longer line keeps its beginning (what went wrong where) and its end (why), with "..." between.
constexpr std::size_t ReadableLineLength = 300;
// A box's lines are wrapped at this many characters, at a space where there is one.
constexpr std::size_t ReadableWidth = 120;
// The lines of a box that are kept; the last says how many more there were. A text that its
// reader wraps keeps as many characters as these lines hold.
constexpr std::size_t ReadableLines = 24;

// `text` for a reader that wraps lines itself (the standard error, a panel of the inspector):
// every line cut at ReadableLineLength characters of UTF-8, never inside one, and no more than
// ReadableLines * ReadableWidth characters in all. A tab becomes a space and any other control
// character but the line break a '?'. A text of printable lines within the limits comes back as
// it is.
std::string CutText(const std::string& text);
// The same for a message box, which shows each line whole: cut, then wrapped at ReadableWidth
// characters, at most ReadableLines lines.
std::string ReadableText(const std::string& text);
