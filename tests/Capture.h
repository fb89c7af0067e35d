// SPDX-License-Identifier: MIT
// An RGB picture as the tests compare them: read from PPM (what xwd and the snapshot tool give,
// through ImageMagick for other formats) and saved as PNG when a test wants a person to look.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

struct Capture
{
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;  // top row first

    const unsigned char* Pixel(int x, int y) const { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
    unsigned char* Pixel(int x, int y) { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }

    // Reads a binary PPM from a stream; false (and an empty picture) when it is not one.
    bool ReadPpm(FILE* stream);
    // Any image file ImageMagick reads.
    bool Load(const std::string& path);
    bool SavePng(const std::string& path) const;
};

// How sharply the picture changes across the vertical line at x (over rows y0..y1) compared
// with the columns beside it: a preview's edge stands out.
double VerticalEdge(const Capture& capture, int x, int y0, int y1);
// The same across the horizontal line at y, over columns x0..x1.
double HorizontalEdge(const Capture& capture, int y, int x0, int x1);
// Mean absolute difference per channel, in levels, over a rectangle of two captures of the same
// size.
double MeanDifference(const Capture& a, const Capture& b, int x0, int y0, int x1, int y1);
