// SPDX-License-Identifier: MIT
// The HDR effect and the water programs broken in the ways an edit breaks them: each fault in
// one box with its caption and the runtime's text (on screen and in the box record), and the
// program goes on drawing frames that follow the camera (the previews do, whatever the HDR chain
// draws without its effect) and ends cleanly. Broken while the program runs, a program file gives
// no box, the version before stays in use, and the mended one comes in.
#include "FaultRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

namespace
{
const std::string Effect = "CG/HDR_FX.cgfx";
const std::string FinalPassTechnique = "technique FinalPass";

// The 1-based line of the file on which `text` starts.
int LineOf(const std::string& file, const std::string& text)
{
    return 1 + static_cast<int>(std::count(file.begin(), file.begin() + file.find(text), '\n'));
}

std::string ReplacedOnce(std::string text, const std::string& from, const std::string& to)
{
    const std::size_t at = text.find(from);
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

class FaultsEffect : public ::testing::Test
{
protected:
    // Starts the program, dismisses one box per expected report and checks its caption, checks
    // that frames go on and that no further box came, and keeps the record of the boxes.
    void LaunchAndDismiss(const std::vector<std::string>& expected)
    {
        ASSERT_TRUE(run.Launch());
        std::vector<std::string> captions;
        for (const std::string& report : expected)
            captions.push_back(report.substr(0, report.find(": ")));
        EXPECT_EQ(run.DismissBoxes(captions.size()), captions);
        EXPECT_TRUE(run.FollowsTheCamera());
        EXPECT_TRUE(run.OpenBoxes().empty());
        reports = run.Reports();
    }

    FaultRun run;
    std::vector<std::string> reports;
};
}

TEST_F(FaultsEffect, ASyntaxErrorIsListedWithItsLine)
{
    const std::string effect = run.Original(Effect);
    run.Replace(Effect, ReplacedOnce(effect, FinalPassTechnique + "\n{", FinalPassTechnique + "\n{{"));
    const std::string expected = "Effect went wrong!: " + Effect + "(" +
                                 std::to_string(LineOf(effect, FinalPassTechnique) + 1) +
                                 "): expected 'pass' or '}', found '{'";
    LaunchAndDismiss({expected});
    EXPECT_EQ(reports, std::vector<std::string>{expected});
    EXPECT_EQ(run.Quit(), std::optional<int>(0));
}

TEST_F(FaultsEffect, AMissingTechniqueIsNamed)
{
    const std::string effect = run.Original(Effect);
    run.Replace(Effect, effect.substr(0, effect.find(FinalPassTechnique)));
    const std::string expected = "Technique not validated!: " + Effect + ": the effect has no technique 'FinalPass'";
    LaunchAndDismiss({expected});
    EXPECT_EQ(reports, std::vector<std::string>{expected});
    EXPECT_EQ(run.Quit(), std::optional<int>(0));
}

TEST_F(FaultsEffect, AProgramThatDoesNotCompileIsListedWithTheCompilersLines)
{
    const std::string effect = run.Original(Effect);
    const std::string call = "vec3 scene = texture(";
    run.Replace(Effect, ReplacedOnce(effect, call, "vec3 scene = undefinedFunction("));
    const std::string firstLine = "Effect went wrong!: " + Effect + "(" + std::to_string(LineOf(effect, call)) +
                                  "): error: no function with name 'undefinedFunction'";
    LaunchAndDismiss({firstLine});
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].substr(0, reports[0].find('\n')), firstLine);
    // The listing's further lines follow, each indented below the first.
    EXPECT_NE(reports[0].find("\n    " + Effect + "("), std::string::npos) << reports[0];
    EXPECT_EQ(run.Quit(), std::optional<int>(0));
}

TEST_F(FaultsEffect, WaterProgramsThatDoNotCompileAreReportedByStage)
{
    run.Replace("CG/VP_AboveWater.cg", "void main() { gl_Position = undefinedVertex; }\n");
    run.Replace("CG/FP_WaterPlane.cg", run.Original("CG/FP_WaterPlane.cg") + "\nthis is no GLSL\n");
    const std::vector<std::string> expected = {"Error VP: CG/VP_AboveWater.cg: The compile returned an error.",
                                               "Error FP: CG/FP_WaterPlane.cg: The compile returned an error."};
    LaunchAndDismiss(expected);
    EXPECT_EQ(reports, expected);
    EXPECT_EQ(run.Quit(), std::optional<int>(0));
}

struct ProgramFault
{
    const char* name;
    const char* file;
    std::string text;
    const char* report;
};

class FaultsProgramFile : public FaultsEffect, public ::testing::WithParamInterface<ProgramFault>
{
};

// Program files whose compiler log is extreme: a #line directive makes the driver name a line past
// any a listing can number, and an identifier is longer than any line of code.
TEST_P(FaultsProgramFile, IsReportedOnceByItsStage)
{
    run.Replace(GetParam().file, GetParam().text);
    LaunchAndDismiss({GetParam().report});
    EXPECT_EQ(reports, std::vector<std::string>{GetParam().report});
    EXPECT_EQ(run.Quit(), std::optional<int>(0));
}

INSTANTIATE_TEST_SUITE_P(
    ExtremeLogs, FaultsProgramFile,
    ::testing::Values(ProgramFault{"LinePastTheLargestNumber", "CG/FP_AboveWater.cg",
                                   "#line 4294967295\nvoid main() { gl_FragColor = undeclaredColour; }\n",
                                   "Error FP: CG/FP_AboveWater.cg: The compile returned an error."},
                      ProgramFault{"LongIdentifier", "CG/VP_Underwater.cg",
                                   "void main() { gl_Position = vec4(" + std::string(200000, 'a') + "); }\n",
                                   "Error VP: CG/VP_Underwater.cg: The compile returned an error."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FaultsEffect, AnEmptyEffectListsEveryTechniqueInOneReport)
{
    run.Replace(Effect, "");
    const std::string firstLine = "Technique not validated!: " + Effect + ": the effect has no technique " +
                                  "'LumGreyscaleDownsample'";
    LaunchAndDismiss({firstLine});
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].substr(0, reports[0].find('\n')), firstLine);
    EXPECT_EQ(std::count(reports[0].begin(), reports[0].end(), '\n'), 9) << reports[0];
    EXPECT_NE(reports[0].find("\n    " + Effect + ": the effect has no technique 'FinalPass'"), std::string::npos);
    EXPECT_EQ(run.Quit(), std::optional<int>(0));
}

// The water surface's program broken while the program runs with the inspector open: the scene
// goes on drawing with the program before, no box comes, and the inspector's shader panel opens
// with the file marked failed in its own red; mended to draw plain magenta, the water turns magenta.
TEST_F(FaultsEffect, AProgramBrokenWhileRunningKeepsTheSceneDrawingAndTheMendedOneIsUsed)
{
    const std::string program = "CG/FP_WaterPlane.cg";
    const std::string original = run.Original(program);
    ASSERT_TRUE(run.Launch());
    run.LookAtTheHorizon();
    ASSERT_TRUE(run.OpenInspector());
    const auto magentaPixels = [](const Capture& capture)
    {
        int count = 0;
        for (std::size_t pixel = 0; pixel + 2 < capture.rgb.size(); pixel += 3)
        {
            const int red = capture.rgb[pixel], green = capture.rgb[pixel + 1], blue = capture.rgb[pixel + 2];
            count += red > 150 && blue > 150 && green < 60;
        }
        return count;
    };

    // The shader panel's "failed" colour, (1.0, 0.45, 0.4), where its text is solid.
    const auto failedRedPixels = [](const Capture& capture)
    {
        int count = 0;
        for (std::size_t pixel = 0; pixel + 2 < capture.rgb.size(); pixel += 3)
            count += std::abs(capture.rgb[pixel] - 255) < 20 && std::abs(capture.rgb[pixel + 1] - 115) < 20 &&
                     std::abs(capture.rgb[pixel + 2] - 102) < 20;
        return count;
    };
    EXPECT_LT(failedRedPixels(run.CaptureWindow()), 5) << "a file is marked failed before any was";

    // A loaded machine takes its time to notice the file, build it and draw the panel: the waits
    // end on what the window shows, within a bound generous for a sanitized build.
    constexpr auto Shown = std::chrono::seconds(60);
    run.Replace(program, ReplacedOnce(original, "void main()", "void main() broken"));
    EXPECT_GT(run.WaitForAnimation(Shown).width, 0) << "the scene stands still";
    EXPECT_GT(run.WaitFor([&](const Capture& capture) { return failedRedPixels(capture) >= 20; }, Shown).width, 0)
        << "the shader panel does not show the failed file";
    const std::string output = "colour = vec4(mix(underWater, reflection, reflectance) + sunlight, 1.0);";
    ASSERT_NE(original.find(output), std::string::npos);
    // Plain magenta, as a shader author paints the water to see where it is drawn: the program
    // then leaves out most of what the scene sets, and is taken all the same, as at start-up.
    run.Replace(program, ReplacedOnce(original, output, "colour = vec4(1.0, 0.0, 1.0, 1.0);"));
    const Capture mended = run.WaitFor([&](const Capture& capture) { return magentaPixels(capture) >= 2000; }, Shown);
    EXPECT_GT(mended.width, 0) << "the mended program is not in use";
    EXPECT_TRUE(run.OpenBoxes().empty());
    EXPECT_TRUE(run.Reports().empty());
    if (HasFailure())
        run.CaptureWindow().SavePng(::testing::TempDir() + "faults-reload.png");
    EXPECT_EQ(run.Quit(), std::optional<int>(0));
}
