// SPDX-License-Identifier: MIT
#include "camera/CCamera.h"
#include "GlContext.h"

#include <gtest/gtest.h>

#include <GL/glu.h>

#include <array>
#include <cmath>

namespace
{
CCamera ResetCamera()
{
    CCamera camera;
    camera.Reset();
    return camera;
}

void ExpectVector(const Vector3& v, float x, float y, float z, float tolerance = 1e-4f)
{
    EXPECT_NEAR(v.x, x, tolerance);
    EXPECT_NEAR(v.y, y, tolerance);
    EXPECT_NEAR(v.z, z, tolerance);
}
}

TEST(Vector3, NormalizeScalesToUnitLengthAndReturnsTheOldLength)
{
    Vector3 v(3.0f, 0.0f, 4.0f);
    EXPECT_FLOAT_EQ(v.Normalize(), 5.0f);
    ExpectVector(v, 0.6f, 0.0f, 0.8f, 1e-7f);
}

TEST(Vector3, NormalizeLeavesNearZeroVectorsAlone)
{
    Vector3 zero(0.0f);
    EXPECT_EQ(zero.Normalize(), 0.0f);
    ExpectVector(zero, 0.0f, 0.0f, 0.0f, 0.0f);

    Vector3 tiny(0.00001f, 0.0f, 0.0f);
    EXPECT_FLOAT_EQ(tiny.Normalize(), 0.00001f);
    EXPECT_EQ(tiny.x, 0.00001f);
}

TEST(CCamera, ResetLooksFromTheStartAtTheOriginUntilTheFirstMove)
{
    CCamera camera = ResetCamera();
    ExpectVector(camera.position, 100.0f, 100.0f, 0.0f, 0.0f);
    ExpectVector(camera.target, 0.0f, 0.0f, 0.0f, 0.0f);
    ExpectVector(camera.direction, -1.0f, 0.0f, 0.0f, 0.0f);
    ExpectVector(camera.up, 0.0f, 1.0f, 0.0f, 0.0f);

    camera.Turn(0.0f);
    ExpectVector(camera.direction, 0.0f, 0.0f, 1.0f);
    ExpectVector(camera.target, 100.0f, 10.0f, 100.0f);
}

TEST(CCamera, RiseRefusesDownwardStepsBelowTwentyWhole)
{
    CCamera camera = ResetCamera();
    camera.position.y = 21.0f;
    camera.Rise(-5.0f);
    EXPECT_EQ(camera.position.y, 21.0f);
    EXPECT_EQ(camera.target.y, 0.0f) << "a refused step must not run Update";

    camera.Rise(-1.0f);
    EXPECT_EQ(camera.position.y, 20.0f) << "exactly 20 is allowed";
    EXPECT_EQ(camera.target.y, 10.0f);

    camera.Rise(-0.5f);
    EXPECT_EQ(camera.position.y, 20.0f);
    camera.Rise(1000.0f);
    EXPECT_EQ(camera.position.y, 1020.0f);
}

TEST(CCamera, RiseBelowTheFloorIsAllowedUpwards)
{
    CCamera camera = ResetCamera();
    camera.position.y = 5.0f;
    camera.Rise(1.0f);
    EXPECT_EQ(camera.position.y, 6.0f);
    camera.Rise(0.0f);
    EXPECT_EQ(camera.position.y, 6.0f);
}

TEST(CCamera, MovesStayHorizontalAndReturnWhenReversed)
{
    CCamera camera = ResetCamera();
    camera.Turn(0.3f);
    const Vector3 start = camera.position;
    camera.MoveForward(2.0f);
    EXPECT_EQ(camera.position.y, start.y);
    EXPECT_GT(std::hypot(camera.position.x - start.x, camera.position.z - start.z), 1.99f);
    camera.MoveForward(-2.0f);
    ExpectVector(camera.position, start.x, start.y, start.z);
    camera.Strafe(2.0f);
    EXPECT_EQ(camera.position.y, start.y);
}

TEST(CCamera, StrafeRightMovesTowardsMinusXWhenHeadingAlongZ)
{
    CCamera camera = ResetCamera();
    camera.Turn(0.0f);
    camera.Strafe(2.0f);
    ExpectVector(camera.position, 98.0f, 100.0f, 0.0f);
    camera.Strafe(-4.0f);
    ExpectVector(camera.position, 102.0f, 100.0f, 0.0f);
}

TEST(CCamera, TurningAFullCircleKeepsTheDirection)
{
    CCamera camera = ResetCamera();
    camera.Turn(0.7f);
    const Vector3 before = camera.direction;
    camera.Turn(6.2831853f);
    ExpectVector(camera.direction, before.x, before.y, before.z);
    EXPECT_NEAR(camera.yaw, 0.7f + 6.2831853f, 1e-5f);
}

class CCameraView : public GlTest
{
protected:
    static std::array<float, 16> ModelView()
    {
        std::array<float, 16> m{};
        glGetFloatv(GL_MODELVIEW_MATRIX, m.data());
        return m;
    }
};

TEST_F(CCameraView, MirroredViewReflectsEyeAndTargetButKeepsUpright)
{
    CCamera camera = ResetCamera();
    camera.position = Vector3(5.0f, 30.0f, 7.0f);
    camera.target = Vector3(40.0f, 10.0f, -3.0f);

    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    camera.ApplyView(CCamera::OntoCurrentMatrix, CCamera::MirroredView);
    const auto mirrored = ModelView();

    glLoadIdentity();
    gluLookAt(5.0, -30.0, 7.0, 40.0, -10.0, -3.0, 0.0, 1.0, 0.0);
    const auto expected = ModelView();
    for (int i = 0; i < 16; ++i)
        EXPECT_FLOAT_EQ(mirrored[i], expected[i]) << i;
    EXPECT_GT(mirrored[5], 0.0f) << "the mirrored picture must stay upright";
    EXPECT_NO_GL_ERROR();
}

TEST_F(CCameraView, OtherModesApplyNothingAndResetReplacesTheMatrix)
{
    CCamera camera = ResetCamera();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(1.0f, 2.0f, 3.0f);
    const auto before = ModelView();
    camera.ApplyView(CCamera::OntoCurrentMatrix, 2);
    EXPECT_EQ(ModelView(), before);

    glMatrixMode(GL_PROJECTION);
    camera.ApplyView(CCamera::ResetMatrix, 2);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(100.0, 100.0, 0.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    const auto expected = ModelView();
    glLoadIdentity();
    glTranslatef(9.0f, 9.0f, 9.0f);
    camera.ApplyView(CCamera::ResetMatrix, 2);
    EXPECT_EQ(ModelView(), expected);
    EXPECT_NO_GL_ERROR();
}
