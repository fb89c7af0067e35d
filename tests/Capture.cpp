// SPDX-License-Identifier: MIT
#include "Capture.h"

#include <cctype>
#include <cstdlib>

namespace
{
// The next number of a PPM header, skipping blanks and '#' comments (xwd names the window in one).
int ReadPpmNumber(FILE* file)
{
    int c = std::fgetc(file);
    while (c == '#' || std::isspace(c))
    {
        if (c == '#')
            while (c != '\n' && c != EOF)
                c = std::fgetc(file);
        c = std::fgetc(file);
    }
    int value = 0;
    for (; std::isdigit(c); c = std::fgetc(file))
        value = value * 10 + (c - '0');
    return value;
}
}

bool Capture::ReadPpm(FILE* file)
{
    *this = Capture{};
    if (std::fgetc(file) != 'P' || std::fgetc(file) != '6')
        return false;
    const int w = ReadPpmNumber(file);
    const int h = ReadPpmNumber(file);
    if (ReadPpmNumber(file) != 255 || w <= 0 || h <= 0)
        return false;
    rgb.resize(static_cast<size_t>(w) * h * 3);
    if (std::fread(rgb.data(), 1, rgb.size(), file) != rgb.size())
    {
        rgb.clear();
        return false;
    }
    width = w;
    height = h;
    return true;
}

bool Capture::Load(const std::string& path)
{
    FILE* pipe = popen(("convert '" + path + "' ppm:-").c_str(), "r");
    if (pipe == nullptr)
        return false;
    const bool read = ReadPpm(pipe);
    return pclose(pipe) == 0 && read;
}

bool Capture::SavePng(const std::string& path) const
{
    FILE* pipe = popen(("convert ppm:- 'png:" + path + "'").c_str(), "w");
    if (pipe == nullptr)
        return false;
    std::fprintf(pipe, "P6 %d %d 255\n", width, height);
    std::fwrite(rgb.data(), 1, rgb.size(), pipe);
    return pclose(pipe) == 0;
}

double VerticalEdge(const Capture& capture, int x, int y0, int y1)
{
    const auto step = [&](int at) {
        double sum = 0.0;
        for (int y = y0; y < y1; ++y)
            for (int c = 0; c < 3; ++c)
                sum += std::abs(capture.Pixel(at, y)[c] - capture.Pixel(at - 1, y)[c]);
        return sum;
    };
    return step(x) / (1.0 + (step(x - 3) + step(x + 3)) / 2.0);
}

double HorizontalEdge(const Capture& capture, int y, int x0, int x1)
{
    const auto step = [&](int at) {
        double sum = 0.0;
        for (int x = x0; x < x1; ++x)
            for (int c = 0; c < 3; ++c)
                sum += std::abs(capture.Pixel(x, at)[c] - capture.Pixel(x, at - 1)[c]);
        return sum;
    };
    return step(y) / (1.0 + (step(y - 3) + step(y + 3)) / 2.0);
}

double MeanDifference(const Capture& a, const Capture& b, int x0, int y0, int x1, int y1)
{
    double sum = 0.0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            for (int c = 0; c < 3; ++c)
                sum += std::abs(a.Pixel(x, y)[c] - b.Pixel(x, y)[c]);
    return sum / (3.0 * (x1 - x0) * (y1 - y0));
}
