// SPDX-License-Identifier: MIT
#include "scene/CSkyBox.h"
#include "GlContext.h"
#include "ImageFolder.h"

#include <gtest/gtest.h>

#include <GL/glu.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <vector>

namespace
{
// Which plane each strip must lie in: axis 0, 1, 2 for x, y, z, at the minimum or the maximum.
struct FacePlane
{
    int axis;
    bool atMaximum;
};
constexpr FacePlane Planes[CSkyBox::FaceCount] = {{1, true}, {1, false}, {2, false}, {2, true}, {0, false}, {0, true}};

float Coordinate(const CSkyBox::Vertex& v, int axis)
{
    return axis == 0 ? v.x : axis == 1 ? v.y : v.z;
}

// The atlas cells as colours, three columns by four rows, rows counted from the bottom.
Rgb CellColour(int column, int row)
{
    return {static_cast<unsigned char>(40 + 100 * column), static_cast<unsigned char>(30 + 60 * row), 200};
}
}

TEST(CSkyBox, FacesOfTheStartCubeSitAtPlusMinus750)
{
    const CSkyBox::FaceVertices vertices = CSkyBox::Faces(Vector3(0.0f), 1500.0f);
    for (int face = 0; face < CSkyBox::FaceCount; ++face)
    {
        for (int k = 0; k < CSkyBox::VerticesPerFace; ++k)
        {
            const CSkyBox::Vertex& v = vertices[face * CSkyBox::VerticesPerFace + k];
            for (int axis = 0; axis < 3; ++axis)
                EXPECT_EQ(std::fabs(Coordinate(v, axis)), 750.0f) << "face " << face << " vertex " << k;
            const FacePlane plane = Planes[face];
            EXPECT_EQ(Coordinate(v, plane.axis), plane.atMaximum ? 750.0f : -750.0f) << "face " << face;
        }
    }
}

TEST(CSkyBox, MovingTheCentreShiftsPositionsButNotTheAtlas)
{
    const CSkyBox::FaceVertices start = CSkyBox::Faces(Vector3(0.0f), 1500.0f);
    const CSkyBox::FaceVertices moved = CSkyBox::Faces(Vector3(10.0f, 0.0f, 0.0f), 1500.0f);
    for (std::size_t i = 0; i < start.size(); ++i)
    {
        EXPECT_EQ(moved[i].x, start[i].x + 10.0f);
        EXPECT_EQ(moved[i].y, start[i].y);
        EXPECT_EQ(moved[i].z, start[i].z);
        EXPECT_EQ(moved[i].s, start[i].s);
        EXPECT_EQ(moved[i].t, start[i].t);
    }
}

class SkyBoxDrawing : public GlTest
{
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(45.0, 640.0 / 480.0, 0.1, 10000.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glEnable(GL_TEXTURE_2D);
        glDisable(GL_DEPTH_TEST);
        glColor3f(1.0f, 1.0f, 1.0f);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    }
    void TearDown() override
    {
        glDisable(GL_TEXTURE_2D);
        GlTest::TearDown();
    }

    // How far apart, on average over the line and the three channels, the pixels 4 rows (or
    // columns) either side of the view's middle row (or column) lie after drawing `box` around
    // the eye, seen turned by `pitch` and then `yaw` degrees.
    static double DifferenceAcrossTheMiddle(const CSkyBox& box, float yaw, float pitch, bool acrossColumns)
    {
        glClear(GL_COLOR_BUFFER_BIT);
        glLoadIdentity();
        glRotatef(pitch, 1.0f, 0.0f, 0.0f);
        glRotatef(yaw, 0.0f, 1.0f, 0.0f);
        box.Draw();
        const std::vector<unsigned char> before = acrossColumns ? ReadPixels(316, 40, 1, 400) : ReadPixels(40, 236, 560, 1);
        const std::vector<unsigned char> after = acrossColumns ? ReadPixels(324, 40, 1, 400) : ReadPixels(40, 244, 560, 1);
        double sum = 0.0;
        for (size_t k = 0; k < before.size(); ++k)
            if (k % 4 != 3)
                sum += std::abs(before[k] - after[k]);
        return sum / (before.size() / 4 * 3);
    }

    // The colour in the middle of the view after drawing the box around the eye.
    Rgb CentreOfView(const CSkyBox& box)
    {
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        box.Draw();
        const std::vector<unsigned char> pixel = ReadPixels(320, 240, 1, 1);
        return {pixel[0], pixel[1], pixel[2]};
    }
};

TEST_F(SkyBoxDrawing, EachFaceShowsItsCellOfTheAtlas)
{
    ImageFolder folder;
    // 30 x 40 pixels: cells of 10 x 10, so 0.33 and 0.66 fall well inside the columns' bounds.
    folder.WriteBmp("skybox.bmp", 30, 40, [](int x, int y) { return CellColour(x / 10, y / 10); });
    CSkyBox box;
    box.Load();
    box.SetPosition(Vector3(0.0f));
    box.SetSize(1500.0f);
    ASSERT_NE(box.texture, -1);
    EXPECT_TRUE(boxes.empty());

    // Looking along -z, +z, -x, +x, then up and down.
    EXPECT_EQ(CentreOfView(box), CellColour(0, 2)) << "z = min";
    glLoadIdentity();
    glRotatef(180.0f, 0.0f, 1.0f, 0.0f);
    EXPECT_EQ(CentreOfView(box), CellColour(2, 2)) << "z = max";
    glLoadIdentity();
    glRotatef(-90.0f, 0.0f, 1.0f, 0.0f);
    EXPECT_EQ(CentreOfView(box), CellColour(1, 2)) << "x = min";
    glLoadIdentity();
    glRotatef(90.0f, 0.0f, 1.0f, 0.0f);
    EXPECT_EQ(CentreOfView(box), CellColour(1, 0)) << "x = max";
    glLoadIdentity();
    glRotatef(-90.0f, 1.0f, 0.0f, 0.0f);
    EXPECT_EQ(CentreOfView(box), CellColour(1, 3)) << "top";
    glLoadIdentity();
    glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
    EXPECT_EQ(CentreOfView(box), CellColour(1, 1)) << "bottom";
    EXPECT_NO_GL_ERROR();
}

TEST_F(SkyBoxDrawing, TheGeneratedSkyMeetsItselfAtEveryEdgeOfTheCube)
{
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(MERROWIND_RUN_DIR);
    CSkyBox box;
    box.Load();
    std::filesystem::current_path(previous);
    box.SetSize(1500.0f);
    ASSERT_NE(box.texture, -1);

    // Each edge lies along the middle column (the four upright edges) or the middle row (the
    // four edges of the top and of the bottom) of one of these views. A face turned or mirrored
    // in its cell tears its clouds or its horizon apart along its edges (8 levels and more),
    // where the faces as they are meet within 2.6.
    for (int quarter = 0; quarter < 4; ++quarter)
    {
        const float yaw = 90.0f * quarter;
        SCOPED_TRACE(yaw);
        EXPECT_LT(DifferenceAcrossTheMiddle(box, yaw + 45.0f, 0.0f, true), 4.0) << "upright edge";
        EXPECT_LT(DifferenceAcrossTheMiddle(box, yaw, -45.0f, false), 4.0) << "top edge";
        EXPECT_LT(DifferenceAcrossTheMiddle(box, yaw, 45.0f, false), 4.0) << "bottom edge";
    }
    box.Destroy();
    EXPECT_NO_GL_ERROR();
}

TEST_F(SkyBoxDrawing, DestroyDeletesTheOwnTextureOnce)
{
    ImageFolder folder;
    folder.WriteBmp("skybox.bmp", 3, 4, [](int x, int y) { return CellColour(x, y); });
    CSkyBox box;
    box.Load();
    const GLuint name = static_cast<GLuint>(box.texture);
    ASSERT_TRUE(glIsTexture(name));

    box.Destroy();
    EXPECT_FALSE(glIsTexture(name));
    EXPECT_EQ(box.texture, -1);
    box.Destroy();
    EXPECT_NO_GL_ERROR();
}

TEST_F(SkyBoxDrawing, WithoutItsImageTheBoxIsReportedOnceAndDrawnUntextured)
{
    const ImageFolder empty;
    CSkyBox box;
    box.Load();
    box.SetSize(1500.0f);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].text.find("./skybox.bmp"), std::string::npos) << boxes[0].text;
    EXPECT_EQ(box.texture, -1);

    EXPECT_EQ(CentreOfView(box), Rgb({255, 255, 255}));
    EXPECT_FALSE(glIsTexture(static_cast<GLuint>(-1)));
    box.Destroy();
    EXPECT_EQ(box.texture, -1);
    EXPECT_NO_GL_ERROR();
}
