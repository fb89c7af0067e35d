// SPDX-License-Identifier: MIT
#include "inspector/CStageTimer.h"

const char* const CStageTimer::StageNames[StageCount] = {"reflection", "refraction", "main scene", "HDR chain",
                                                         "composite"};

bool CStageTimer::Available()
{
    if (availability < 0)
        availability = epoxy_gl_version() >= 33 || epoxy_has_gl_extension("GL_ARB_timer_query");
    return availability == 1;
}

void CStageTimer::BeginFrame()
{
    if (!Available())
        return;
    if (!created)
    {
        glGenQueries(RingSize * StampsPerFrame, &queries[0][0]);
        created = true;
    }
    slot = (slot + 1) % RingSize;
    // The slot was written RingSize frames ago: its results are normally in by now.
    if (issued[slot])
        ReadSlot(slot);
    issued[slot] = false;
    glQueryCounter(queries[slot][0], GL_TIMESTAMP);
}

void CStageTimer::StageFinished(FrameStage stage)
{
    const int index = static_cast<int>(stage);
    if (!created || index >= StageCount)
        return;
    glQueryCounter(queries[slot][index + 1], GL_TIMESTAMP);
    issued[slot] = stage == FrameStage::Composite;
}

void CStageTimer::ReadSlot(int from)
{
    GLint ready = 0;
    glGetQueryObjectiv(queries[from][StampsPerFrame - 1], GL_QUERY_RESULT_AVAILABLE, &ready);
    if (!ready)
        return;
    GLuint64 stamps[StampsPerFrame] = {};
    for (int i = 0; i < StampsPerFrame; ++i)
        glGetQueryObjectui64v(queries[from][i], GL_QUERY_RESULT, &stamps[i]);
    for (int i = 0; i < StageCount; ++i)
        milliseconds[i] = static_cast<double>(stamps[i + 1] - stamps[i]) * 1e-6;
}

void CStageTimer::Release()
{
    if (created)
        glDeleteQueries(RingSize * StampsPerFrame, &queries[0][0]);
    *this = CStageTimer();
}
