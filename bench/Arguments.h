// SPDX-License-Identifier: MIT
// Numbers from the tools' command lines. Each is refused unless the whole text is one number
// within the range the tool can honour: a count that wrapped or a size that cannot be allocated
// must end in the usage, not in a run of a billion frames or an exhausted memory.
#pragma once

bool ParseCount(const char* text, long low, long high, long& value);
bool ParseCount(const char* text, int low, int high, int& value);
bool ParseReal(const char* text, double low, double high, double& value);
// "x,y,z", each within the range.
bool ParseTriple(const char* text, double low, double high, float& x, float& y, float& z);
// "WxH", each side from 1 to 16384 pixels.
bool ParseSize(const char* text, int& width, int& height);
