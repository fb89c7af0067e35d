// SPDX-License-Identifier: MIT
#include "camera/Matrix4.h"

#include <cmath>
#include <utility>

namespace
{
// Four rows of the matrix beside four rows of the identity; elimination turns the left half
// into the identity and the right half into the inverse.
struct AugmentedRows
{
    float storage[4][8];
    // Exchanging two rows swaps these references, not the values.
    float* row[4];
    float scale[4];
};

// Largest magnitude of the row's matrix half; the first entry wins ties.
float RowScale(const float* row)
{
    float scale = std::fabs(row[0]);
    for (int c = 1; c < 4; ++c)
    {
        if (std::fabs(row[c]) > scale)
            scale = std::fabs(row[c]);
    }
    return scale;
}

void Augment(const Matrix4& matrix, AugmentedRows& rows)
{
    for (int i = 0; i < 4; ++i)
    {
        rows.row[i] = rows.storage[i];
        for (int c = 0; c < 4; ++c)
        {
            rows.row[i][c] = matrix(i, c);
            rows.row[i][c + 4] = i == c ? 1.0f : 0.0f;
        }
        rows.scale[i] = RowScale(rows.row[i]);
    }
}

bool HasZeroRow(const AugmentedRows& rows)
{
    for (float scale : rows.scale)
    {
        if (scale == 0.0f)
            return true;
    }
    return false;
}

// Moves the row with the largest scaled entry in column i (the earliest on ties) to position i.
void SelectPivot(AugmentedRows& rows, int i)
{
    int pivot = i;
    float best = std::fabs(rows.row[i][i] / rows.scale[i]);
    for (int p = i + 1; p < 4; ++p)
    {
        const float score = std::fabs(rows.row[p][i] / rows.scale[p]);
        if (score > best)
        {
            best = score;
            pivot = p;
        }
    }
    if (pivot != i)
    {
        std::swap(rows.row[i], rows.row[pivot]);
        std::swap(rows.scale[i], rows.scale[pivot]);
    }
}

void EliminateBelow(AugmentedRows& rows, int i)
{
    const float* pivotRow = rows.row[i];
    for (int j = i + 1; j < 4; ++j)
    {
        const float factor = rows.row[j][i] / pivotRow[i];
        rows.row[j][i] = 0.0f;
        for (int k = i + 1; k < 8; ++k)
            rows.row[j][k] -= factor * pivotRow[k];
    }
}

void EliminateAbove(AugmentedRows& rows)
{
    for (int i = 3; i >= 1; --i)
    {
        const float* pivotRow = rows.row[i];
        for (int j = i - 1; j >= 0; --j)
        {
            const float factor = rows.row[j][i] / pivotRow[i];
            for (int k = j + 1; k < 8; ++k)
                rows.row[j][k] -= factor * pivotRow[k];
        }
    }
}
}

void Matrix4::MakeIdentity()
{
    for (int i = 0; i < 16; ++i)
        elements[i] = i % 5 == 0 ? 1.0f : 0.0f;
}

Matrix4 Matrix4::Inverse() const
{
    AugmentedRows rows;
    Augment(*this, rows);
    if (HasZeroRow(rows))
        return Matrix4();
    for (int i = 0; i < 4; ++i)
    {
        SelectPivot(rows, i);
        // A zero pivot in any column, not only the last, means the matrix is singular; dividing
        // by it would fill the result with NaNs.
        if (rows.row[i][i] == 0.0f)
            return Matrix4();
        EliminateBelow(rows, i);
    }
    EliminateAbove(rows);

    Matrix4 inverse;
    for (int i = 0; i < 4; ++i)
    {
        for (int c = 0; c < 4; ++c)
            inverse(i, c) = rows.row[i][c + 4] / rows.row[i][i];
    }
    return inverse;
}

Matrix4 Matrix4::Transpose() const
{
    Matrix4 transposed;
    for (int r = 0; r < 4; ++r)
    {
        for (int c = 0; c < 4; ++c)
            transposed(r, c) = (*this)(c, r);
    }
    return transposed;
}

void Matrix4::MultVecMatrix(const Vector3& source, Vector3& destination) const
{
    const Vector3 s = source;
    const Matrix4& m = *this;
    float w = s.x * m(0, 3) + s.y * m(1, 3) + s.z * m(2, 3) + m(3, 3);
    if (w == 0.0f)
        w = 1.0f;
    destination.x = (s.x * m(0, 0) + s.y * m(1, 0) + s.z * m(2, 0) + m(3, 0)) / w;
    destination.y = (s.x * m(0, 1) + s.y * m(1, 1) + s.z * m(2, 1) + m(3, 1)) / w;
    destination.z = (s.x * m(0, 2) + s.y * m(1, 2) + s.z * m(2, 2) + m(3, 2)) / w;
}
