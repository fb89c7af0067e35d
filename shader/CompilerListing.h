// SPDX-License-Identifier: MIT
// Listings of compile and parse errors, one line per message in the form "FILE(LINE): MESSAGE".
// Driver logs come in several dialects; the line number is taken from the common ones
// ("0:12(5): error: ...", "0(12) : error C1008: ...", "ERROR: 0:12: ...") and a message without
// one is listed as "FILE: MESSAGE". Sources are compiled behind #line directives, so the numbers a
// driver reports are already the lines of the file.
// Logs are outside data (a #line directive of the file picks the numbers a driver writes), so any
// log gives a listing: a number too large for a line is kept in the driver's words as a message
// about the whole file, and the listing is bounded, each message cut at MaxMessageLength bytes
// and the listing at MaxListingLines lines, since its reader is a person in a message box.
#pragma once

#include <cstddef>
#include <string>

constexpr std::size_t MaxMessageLength = 1000;
constexpr std::size_t MaxListingLines = 100;

std::string ListCompilerLog(const std::string& file, const std::string& log);
