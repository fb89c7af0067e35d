// SPDX-License-Identifier: MIT
#include "camera/EyePosition.h"
#include "camera/Matrix4.h"
#include "GlContext.h"

#include <gtest/gtest.h>

namespace
{
Matrix4 FromRows(const float (&rows)[4][4])
{
    Matrix4 m;
    for (int r = 0; r < 4; ++r)
    {
        for (int c = 0; c < 4; ++c)
            m(r, c) = rows[r][c];
    }
    return m;
}

void ExpectIdentity(const Matrix4& m, float tolerance)
{
    for (int r = 0; r < 4; ++r)
    {
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(m(r, c), r == c ? 1.0f : 0.0f, tolerance) << "element (" << r << ", " << c << ")";
    }
}

Matrix4 Product(const Matrix4& a, const Matrix4& b)
{
    Matrix4 p;
    for (int r = 0; r < 4; ++r)
    {
        for (int c = 0; c < 4; ++c)
        {
            p(r, c) = 0.0f;
            for (int k = 0; k < 4; ++k)
                p(r, c) += a(r, k) * b(k, c);
        }
    }
    return p;
}

void ExpectVector(const Vector3& v, float x, float y, float z)
{
    EXPECT_NEAR(v.x, x, 1e-4f);
    EXPECT_NEAR(v.y, y, 1e-4f);
    EXPECT_NEAR(v.z, z, 1e-4f);
}
}

TEST(Matrix4, IsColumnMajorAndStartsAsTheIdentity)
{
    Matrix4 m;
    ExpectIdentity(m, 0.0f);
    m(1, 3) = 7.0f;
    EXPECT_EQ(m.elements[13], 7.0f);
}

TEST(Matrix4, InverseOfTheIdentityIsTheIdentity)
{
    ExpectIdentity(Matrix4().Inverse(), 0.0f);
}

TEST(Matrix4, SingularMatricesInvertToTheIdentity)
{
    const float zeroRow[4][4] = {{1, 2, 3, 4}, {0, 0, 0, 0}, {5, 6, 7, 8}, {0, 0, 0, 1}};
    ExpectIdentity(FromRows(zeroRow).Inverse(), 0.0f);

    const float zeroColumn[4][4] = {{1, 0, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}, {1, 0, 1, 1}};
    ExpectIdentity(FromRows(zeroColumn).Inverse(), 0.0f);

    const float equalRows[4][4] = {{1, 2, 3, 4}, {1, 2, 3, 4}, {0, 1, 0, 0}, {0, 0, 0, 1}};
    ExpectIdentity(FromRows(equalRows).Inverse(), 0.0f);
}

TEST(Matrix4, InversePivotsOnALowerRowWhenTheTopOfTheColumnIsZero)
{
    const float swapped[4][4] = {{0, 2, 0, 0}, {3, 0, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    const Matrix4 m = FromRows(swapped);
    const Matrix4 inverse = m.Inverse();
    EXPECT_FLOAT_EQ(inverse(0, 1), 1.0f / 3.0f);
    EXPECT_FLOAT_EQ(inverse(1, 0), 0.5f);
    ExpectIdentity(Product(m, inverse), 1e-6f);
}

TEST(Matrix4, AffineMatrixTimesItsInverseIsTheIdentity)
{
    const float affine[4][4] = {
        {0.8f, -0.6f, 0.0f, 12.0f}, {0.3f, 0.4f, 2.0f, -5.0f}, {1.5f, 0.0f, 0.5f, 375.0f}, {0, 0, 0, 1}};
    const Matrix4 m = FromRows(affine);
    ExpectIdentity(Product(m, m.Inverse()), 1e-4f);
    ExpectIdentity(Product(m.Inverse(), m), 1e-4f);
}

TEST(Matrix4, TransposeTwiceGivesTheMatrixBack)
{
    Matrix4 m;
    for (int i = 0; i < 16; ++i)
        m.elements[i] = static_cast<float>(i * 3 - 7);
    const Matrix4 t = m.Transpose();
    EXPECT_EQ(t(0, 3), m(3, 0));
    EXPECT_EQ(t(2, 1), m(1, 2));
    const Matrix4 back = t.Transpose();
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(back.elements[i], m.elements[i]);
}

TEST(Matrix4, MultVecMatrixDividesByWAndAllowsAliasing)
{
    Matrix4 m;
    m(3, 0) = 1.0f;  // row vector convention: the bottom row translates
    m(3, 3) = 2.0f;
    Vector3 v(4.0f, 6.0f, 8.0f);
    m.MultVecMatrix(v, v);
    ExpectVector(v, 2.5f, 3.0f, 4.0f);

    Matrix4 projective;
    projective(3, 3) = 0.0f;
    Vector3 undivided;
    projective.MultVecMatrix(Vector3(1.0f, 2.0f, 3.0f), undivided);
    ExpectVector(undivided, 1.0f, 2.0f, 3.0f);
}

class EyePosition : public GlTest
{
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();
        camera.Reset();
    }
    void TearDown() override
    {
        glMatrixMode(GL_MODELVIEW);
        glPopMatrix();
        GlTest::TearDown();
    }

    CCamera camera;
};

TEST_F(EyePosition, IdentityModelViewGivesTheCameraPosition)
{
    ExpectVector(GetEyePosition(camera), 100.0f, 100.0f, 0.0f);
    EXPECT_NO_GL_ERROR();
}

TEST_F(EyePosition, TranslatedModelMovesTheEyeTheOtherWay)
{
    glTranslatef(-375.0f, 0.0f, -375.0f);
    ExpectVector(GetEyePosition(camera), 475.0f, 100.0f, 375.0f);
    EXPECT_NO_GL_ERROR();
}

TEST_F(EyePosition, RotatedModelTurnsTheEyeBack)
{
    glRotatef(90.0f, 0.0f, 1.0f, 0.0f);
    camera.position = Vector3(1.0f, 0.0f, 0.0f);
    ExpectVector(GetEyePosition(camera), 0.0f, 0.0f, 1.0f);
    EXPECT_NO_GL_ERROR();
}
