// The benchmark as a user runs it: a few frames, a table, then one complete JSON line.
#include "SanitizedBuild.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{
std::vector<std::string> RunLines(const std::string& command)
{
    std::vector<std::string> lines;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return lines;
    char buffer[65536];
    while (std::fgets(buffer, sizeof(buffer), pipe) != nullptr)
        lines.emplace_back(buffer);
    EXPECT_EQ(pclose(pipe), 0) << command;
    return lines;
}

std::string LastLine(const std::vector<std::string>& lines)
{
    std::string line = lines.empty() ? std::string() : lines.back();
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.pop_back();
    return line;
}

// Every number that follows `"key":` in the line.
std::vector<double> NumbersAfter(const std::string& json, const std::string& key)
{
    std::vector<double> numbers;
    const std::string pattern = "\"" + key + "\":";
    for (size_t at = json.find(pattern); at != std::string::npos; at = json.find(pattern, at + 1))
        numbers.push_back(std::strtod(json.c_str() + at + pattern.size(), nullptr));
    return numbers;
}

bool BalancedObject(const std::string& text)
{
    int depth = 0;
    bool inString = false;
    for (char c : text)
    {
        if (c == '"')
            inString = !inString;
        else if (!inString && (c == '{' || c == '['))
            ++depth;
        else if (!inString && (c == '}' || c == ']') && --depth < 0)
            return false;
    }
    return depth == 0 && !inString && text.front() == '{';
}
}

TEST(Benchmark, RunsAFewFramesAndEndsWithACompleteJsonLine)
{
    const auto lines = RunLines(std::string(MERROWIND_RUN_DIR) + "/merrowind-bench --frames 3 --warmup 1 2>&1");
    const std::string json = LastLine(lines);
    ASSERT_FALSE(json.empty());
    EXPECT_TRUE(BalancedObject(json)) << json;
    for (const char* key : {"\"start_camera\"", "\"second_camera\"", "\"speed_of_light\"", "\"reflection\"",
                            "\"refraction\"", "\"main_scene\"", "\"hdr_chain\"", "\"composite_swap\"", "\"median_ms\"",
                            "\"p90_ms\"", "\"fps\"", "\"allocations_per_frame\"", "\"ratio_start_camera\"",
                            "\"startup_init_scene_ms\"", "\"startup_first_frame_ms\"", "\"peak_rss_kib\""})
        EXPECT_NE(json.find(key), std::string::npos) << key;
    EXPECT_EQ(json.find("nan"), std::string::npos);
    EXPECT_EQ(json.find("inf"), std::string::npos);
    EXPECT_NE(json.find("\"message_boxes\":0}"), std::string::npos) << "the scene started with a failure: " << json;
}

// The ten-thousand-frame run of the real program watches memory over a long time; this one
// reads what only the benchmark can see: GL errors and allocations, frame by frame.
TEST(Benchmark, HundredsOfFramesRaiseNoGlErrorAllocateNothingAndDoNotGrowMemory)
{
    if (SanitizedBuild)
        GTEST_SKIP() << "the sanitizer's quarantine grows resident memory by design";
    const auto lines = RunLines(std::string(MERROWIND_RUN_DIR) + "/merrowind-bench --frames 250 --warmup 20 2>&1");
    const std::string json = LastLine(lines);
    const auto errors = NumbersAfter(json, "gl_errors");
    ASSERT_EQ(errors.size(), 3u) << json;
    for (double count : errors)
        EXPECT_EQ(count, 0.0);
    // Measured after each camera's warm-up, so the driver's one-time pools are already in place.
    const auto growth = NumbersAfter(json, "rss_growth_kib");
    ASSERT_EQ(growth.size(), 3u);
    EXPECT_LT(growth[0], 2048.0) << "resident memory grew over 250 frames from the start camera";
    EXPECT_LT(growth[1], 2048.0) << "resident memory grew over 250 frames from the second camera";
    EXPECT_EQ(NumbersAfter(json, "new_per_frame"), std::vector<double>(3, 0.0));
}
