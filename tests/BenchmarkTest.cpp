// The benchmark as a user runs it: a few frames, a table, then one complete JSON line.
#include <gtest/gtest.h>

#include <cstdio>
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
    ASSERT_FALSE(lines.empty());
    std::string json = lines.back();
    while (!json.empty() && (json.back() == '\n' || json.back() == '\r'))
        json.pop_back();
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
