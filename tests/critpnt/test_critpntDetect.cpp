#include "critpnt/critpntDetect.h"
#include "critpntFields.h"

#include <gtest/gtest.h>
#include <vector>

namespace
{
// Unscaled stencil weight: a linear field's Jacobian comes out this many times too large.
constexpr float kStencilScale = 2.0f + 4.0f * 0.57735026f;

int typeTotal(const CritpntDetect& d)
{
    return d.repFocusCnt + d.attrFocusCnt + d.centerCnt + d.repNodeCnt + d.attrNodeCnt +
           d.saddlePntCnt;
}

void detectAll(CritpntDetect& detect, DataManipulate& data)
{
    detect.genAllCritpntData(data.orgnvectField2dSlice[0], 36.0f, &data.flowFieldSize);
}

// Classifies the single candidate pos as spotCripnts would, bypassing the cell search.
void classifyOnly(CritpntDetect& detect, DataManipulate& data, float2 pos)
{
    detect.critpoints->allCritical[0] = pos;
    detect.allPntCnt = 1;
    detect.spotCripnts(data.orgnvectField2dSlice[0],
                       makeInt2(data.flowFieldSize.x, data.flowFieldSize.y));
}
} // namespace

TEST(CellSearch, CellsWithoutBothSignChangesAreSkipped)
{
    DataManipulate uniform = sampledField(8, 6, [](float, float) { return makeFloat2(1, -2); });
    CritpntDetect detect;
    detectAll(detect, uniform);
    EXPECT_EQ(detect.allPntCnt, 0);
    EXPECT_EQ(typeTotal(detect), 0);
    EXPECT_EQ(detect.critpoints->saddlePntTmpltSeedsCnt + detect.critpoints->centerTmpltSeedsCnt,
              0);

    // x changes sign in every way, y never does.
    DataManipulate cell = sampledField(
        2, 2, [](float x, float y) { return makeFloat2(x == y ? 1.0f : -1.0f, 2.0f); });
    detect.findCritpnts(cell.orgnvectField2dSlice[0], &cell.flowFieldSize);
    EXPECT_EQ(detect.allPntCnt, 0);

    // Zero components count for neither side.
    DataManipulate zeros = sampledField(
        2, 2, [](float x, float y) { return makeFloat2(x == 0 ? 0.0f : 1.0f, y - 0.5f); });
    detect.findCritpnts(zeros.orgnvectField2dSlice[0], &zeros.flowFieldSize);
    EXPECT_EQ(detect.allPntCnt, 0);
}

TEST(CellSearch, BilinearCellIsSolvedExactly)
{
    const auto u = [](float s, float t)
    { return (s - 0.3f) + 0.5f * (t - 0.6f) + 0.4f * (s - 0.3f) * (t - 0.6f); };
    const auto v = [](float s, float t)
    { return -(t - 0.6f) + 0.2f * (s - 0.3f) + 0.3f * (s - 0.3f) * (t - 0.6f); };
    // The cell sits at (3, 2) of a larger grid whose other cells hold no zero of this flow.
    DataManipulate data = sampledField(
        7, 5, [&](float x, float y) { return makeFloat2(u(x - 3, y - 2), v(x - 3, y - 2)); });
    CritpntDetect detect;
    detect.findCritpnts(data.orgnvectField2dSlice[0], &data.flowFieldSize);
    ASSERT_EQ(detect.allPntCnt, 1);
    EXPECT_NEAR(detect.critpoints->allCritical[0].x, 3.3f, 1e-5f);
    EXPECT_NEAR(detect.critpoints->allCritical[0].y, 2.6f, 1e-5f);

    // u vanishes along the whole line s = 0.4: the x-component says nothing about t there,
    // and the y-component places the zero.
    const auto alignedCell = [](float cst)
    {
        return sampledField(2, 2,
                            [cst](float s, float t) {
                                return makeFloat2((s - 0.4f) * (1 + 0.5f * t),
                                                  (t - 0.7f) + 0.2f * s + cst * s * t);
                            });
    };
    DataManipulate aligned = alignedCell(0.3f);
    detect.findCritpnts(aligned.orgnvectField2dSlice[0], &aligned.flowFieldSize);
    ASSERT_EQ(detect.allPntCnt, 1);
    EXPECT_NEAR(detect.critpoints->allCritical[0].x, 0.4f, 1e-5f);
    EXPECT_NEAR(detect.critpoints->allCritical[0].y, 0.62f / 1.12f, 1e-5f);

    // Here the elimination degenerates as well (k = 0); whatever it yields must be a zero.
    aligned = alignedCell(0.1f);
    detect.findCritpnts(aligned.orgnvectField2dSlice[0], &aligned.flowFieldSize);
    for (int n = 0; n < detect.allPntCnt; ++n)
        EXPECT_NEAR(detect.critpoints->allCritical[n].x, 0.4f, 1e-3f);
}

TEST(CellSearch, ExactlyLinearFieldsHaveNoDetectedZero)
{
    const float2 c = makeFloat2(4.4f, 3.7f);
    const std::vector<LinearFlow> flows = {
        {c, 1, 0, 0, -1},       // saddle
        {c, -1, 0, 0, -0.5f},   // node
        {c, 0.2f, -1, 1, 0.2f}, // focus
        {c, 0, -1, 1, 0},       // rotation
    };
    for (const LinearFlow& flow : flows)
    {
        DataManipulate data = sampledField(10, 8, flow);
        CritpntDetect detect;
        detectAll(detect, data);
        EXPECT_EQ(detect.allPntCnt, 0);
        EXPECT_EQ(typeTotal(detect), 0);
    }
}

TEST(CellSearch, ZeroOnASharedEdgeIsFoundInBothCells)
{
    // The zero sits at (2, 1.5), on the edge between cells (1, 1) and (2, 1).
    DataManipulate data =
        sampledField(4, 4,
                     [](float x, float y)
                     {
                         const float dx = x - 2, dy = y - 1.5f;
                         return makeFloat2(dx + dy + 0.5f * dx * dy, dx - dy + 0.25f * dx * dy);
                     });
    CritpntDetect detect;
    detectAll(detect, data);
    ASSERT_EQ(detect.allPntCnt, 2);
    for (int n = 0; n < 2; ++n)
    {
        EXPECT_NEAR(detect.critpoints->allCritical[n].x, 2.0f, 1e-5f);
        EXPECT_NEAR(detect.critpoints->allCritical[n].y, 1.5f, 1e-5f);
    }
    EXPECT_EQ(detect.saddlePntCnt, 2);
    EXPECT_EQ(typeTotal(detect), 2);
}

TEST(CellSearch, CandidatesStopAtTableCapacity)
{
    // Every cell of this checkerboard holds a zero at its centre: 79 x 39 cells.
    const auto sign = [](float k) { return int(k) % 2 == 0 ? 1.0f : -1.0f; };
    DataManipulate data = sampledField(80, 40,
                                       [&](float x, float y)
                                       {
                                           return makeFloat2(sign(x) * (1 + 0.5f * sign(y)) + 0.1f,
                                                             sign(y) * (1 + 0.5f * sign(x)) - 0.1f);
                                       });
    CritpntDetect detect;
    detect.findCritpnts(data.orgnvectField2dSlice[0], &data.flowFieldSize);
    EXPECT_EQ(detect.allPntCnt, kCritpntCapacity);
    // Row 25 is the last one reached: 25 x 79 + 25 = 2000 candidates.
    const float2 last = detect.critpoints->allCritical[kCritpntCapacity - 1];
    EXPECT_EQ(int(last.x), 24);
    EXPECT_EQ(int(last.y), 25);
}

TEST(Jacobian, StencilOfALinearFieldInsideAndAtTheBorder)
{
    const LinearFlow flow{makeFloat2(3, 2), 0.5f, -1.0f, 2.0f, 0.25f};
    DataManipulate data = sampledField(8, 6, flow);
    CritpntDetect detect;
    detect.fieldSize = makeInt2(8, 6);
    float2** field = data.orgnvectField2dSlice[0];

    // Layout: du/dx, dv/dx, du/dy, dv/dy.
    detect.computeJacobianMatrix2D(field, makeFloat2(3.25f, 2.5f));
    EXPECT_NEAR(detect.jacobMatrix[0], kStencilScale * 0.5f, 1e-5f);
    EXPECT_NEAR(detect.jacobMatrix[1], kStencilScale * 2.0f, 1e-5f);
    EXPECT_NEAR(detect.jacobMatrix[2], kStencilScale * -1.0f, 1e-5f);
    EXPECT_NEAR(detect.jacobMatrix[3], kStencilScale * 0.25f, 1e-5f);

    // At a corner node the clamped stencil becomes one-sided: 1 + 2w per unit slope.
    const float oneSided = 1.0f + 2.0f * 0.57735026f;
    detect.computeJacobianMatrix2D(field, makeFloat2(0, 0));
    EXPECT_NEAR(detect.jacobMatrix[0], oneSided * 0.5f, 1e-5f);
    EXPECT_NEAR(detect.jacobMatrix[3], oneSided * 0.25f, 1e-5f);
    detect.computeJacobianMatrix2D(field, makeFloat2(7, 5));
    EXPECT_NEAR(detect.jacobMatrix[1], oneSided * 2.0f, 1e-5f);
    EXPECT_NEAR(detect.jacobMatrix[2], oneSided * -1.0f, 1e-5f);

    // Off the grid there is no Jacobian and the point stays unclassified.
    float det = 0;
    EXPECT_EQ(detect.getCritpntType(field, makeFloat2(-1, 2), &det), -1);
    EXPECT_EQ(detect.getCritpntType(field, makeFloat2(NAN, 2), &det), -1);
}

TEST(Classification, EigenvalueCodesAndTheCenterTolerance)
{
    struct Case
    {
        LinearFlow flow;
        int type;
    };
    const float2 c = makeFloat2(4, 4);
    // Unscaled real parts: 4.31 x the field's; the tolerance 0.01 sits at about 0.00232.
    const std::vector<Case> cases = {
        {{c, -1, 0, 0, -0.5f}, 0},
        {{c, 1, 0, 0, 0.5f}, 1},
        {{c, -0.1f, -1, 1, -0.1f}, 2},
        {{c, 0.1f, -1, 1, 0.1f}, 3},
        {{c, 1, 0, 0, -1}, 4},
        {{c, 0.002f, -1, 1, 0.002f}, 6},
        {{c, -0.002f, -1, 1, -0.002f}, 6},
        {{c, 0.003f, -1, 1, 0.003f}, 3},
        {{c, 0.001f, 0, 0, 0.002f}, 1},
        {{c, -1, 0, 0, 0}, -1},
    };
    for (const Case& k : cases)
    {
        DataManipulate data = sampledField(9, 9, k.flow);
        CritpntDetect detect;
        detect.fieldSize = makeInt2(9, 9);
        float det = 0;
        EXPECT_EQ(detect.getCritpntType(data.orgnvectField2dSlice[0], c, &det), k.type)
            << k.flow.a << " " << k.flow.b << " " << k.flow.cc << " " << k.flow.d;
        const bool bComplex = k.flow.b * k.flow.cc < 0;
        EXPECT_EQ(detect.eigenValues[1], bComplex ? 1.0f : 0.0f);
        EXPECT_NEAR(det,
                    kStencilScale * kStencilScale * (k.flow.a * k.flow.d - k.flow.b * k.flow.cc),
                    1e-4f);
    }
}

TEST(Classification, TracingTestDecidesAttractingOrRepelling)
{
    // Attracting at (12.3, 12.7), but the seed (10, 10) beyond it lies past the repelling
    // lines dx = 5 and dy = 5: the backward run settles at (5, 5) from the point, the forward
    // run leaves the field.
    const float2 p = makeFloat2(12.3f, 12.7f);
    const auto cubic = [](float d) { return -d + d * d * d / 25.0f; };
    DataManipulate data = sampledField(
        40, 40,
        [&](float x, float y) { return makeFloat2(cubic(x - p.x), 0.5f * cubic(y - p.y)); });
    CritpntDetect detect;
    float det = 0;
    detect.fieldSize = makeInt2(40, 40);
    EXPECT_EQ(detect.getCritpntType(data.orgnvectField2dSlice[0], p, &det), 0);
    EXPECT_EQ(detect.testCriticalPoint(data.orgnvectField2dSlice[0], makeInt2(40, 40), p), 1);
    classifyOnly(detect, data, p);
    EXPECT_EQ(detect.attrNodeCnt, 0);
    ASSERT_EQ(detect.repNodeCnt, 1);
    EXPECT_TRUE(detect.critpoints->repNode[0] == p);

    // A seed outside the field moves in neither run: equal distances mean attracting.
    const float2 corner = makeFloat2(35.5f, 30.5f);
    EXPECT_EQ(detect.testCriticalPoint(data.orgnvectField2dSlice[0], makeInt2(40, 40), corner), 0);
}

TEST(Classification, ZeroEigenvalueBecomesCenterOrIsDropped)
{
    const float2 p = makeFloat2(6.4f, 5.3f);
    for (const float rate : {-0.5f, 0.5f})
    {
        // u = rate * dx, v = 0: one eigenvalue is exactly zero.
        DataManipulate data = sampledField(
            30, 30, [&](float x, float) { return makeFloat2(rate * (x - p.x), 0.0f); });
        CritpntDetect detect;
        detect.fieldSize = makeInt2(30, 30);
        float det = 1;
        EXPECT_EQ(detect.getCritpntType(data.orgnvectField2dSlice[0], p, &det), -1);
        EXPECT_EQ(det, 0.0f);
        classifyOnly(detect, data, p);
        EXPECT_EQ(detect.allPntCnt, 1);
        EXPECT_EQ(detect.centerCnt, rate < 0 ? 1 : 0);
        EXPECT_EQ(typeTotal(detect), detect.centerCnt);
    }
}

TEST(Sampling, BilinearSampleAndRungeKuttaStepStayInsideTheGrid)
{
    DataManipulate data =
        sampledField(4, 3, [](float x, float y) { return makeFloat2(x + 10 * y, 1.0f); });
    CritpntDetect detect;
    float2** field = data.orgnvectField2dSlice[0];
    const int2 size = makeInt2(4, 3);
    float2 v = makeFloat2(-7, -7);
    ASSERT_TRUE(detect.interpolateVector(field, size, makeFloat2(1.5f, 0.25f), v));
    EXPECT_NEAR(v.x, 4.0f, 1e-5f);
    // The last column and row are inside; their missing neighbours are never read.
    ASSERT_TRUE(detect.interpolateVector(field, size, makeFloat2(3, 2), v));
    EXPECT_TRUE(v == makeFloat2(23, 1));
    ASSERT_TRUE(detect.interpolateVector(field, size, makeFloat2(3, 1.5f), v));
    EXPECT_NEAR(v.x, 18.0f, 1e-5f);
    v = makeFloat2(-7, -7);
    for (const float2 out : {makeFloat2(3.001f, 1), makeFloat2(1, -0.001f), makeFloat2(NAN, 1),
                             makeFloat2(1, INFINITY)})
        EXPECT_FALSE(detect.interpolateVector(field, size, out, v));
    EXPECT_TRUE(v == makeFloat2(-7, -7));

    EXPECT_TRUE(detect.interpolateVector(0.25f, 0.5f, makeFloat2(1, 0), makeFloat2(0, 1),
                                         makeFloat2(2, 0),
                                         makeFloat2(0, 4)) == makeFloat2(0.625f, 0.875f));

    // dy/dt = y: a step of fourth order matches exp(h) to the fourth-order term.
    DataManipulate growth = sampledField(4, 3, [](float, float y) { return makeFloat2(0.5f, y); });
    float2** grow = growth.orgnvectField2dSlice[0];
    float2 pos = makeFloat2(1, 1);
    float2 ret = makeFloat2(-7, -7);
    ASSERT_TRUE(detect.RK4(grow, size, true, pos, ret));
    EXPECT_NEAR(ret.x, 1.05f, 1e-6f);
    EXPECT_NEAR(ret.y, 1.10517083f, 1e-6f);
    ASSERT_TRUE(detect.RK4(grow, size, false, pos, ret));
    EXPECT_NEAR(ret.y, 0.90483750f, 1e-6f);
    pos = makeFloat2(1, 1.95f);
    ret = makeFloat2(-7, -7);
    EXPECT_FALSE(detect.RK4(grow, size, true, pos, ret));
    EXPECT_TRUE(ret == makeFloat2(-7, -7));
}

TEST(Detection, IsolatedPointsOfAllSixTypesAreFoundAndClassified)
{
    struct Expected
    {
        BumpFeature feature;
        float2* table;
        const int* count;
    };
    CritpntDetect detect;
    critpntArray& t = *detect.critpoints;
    const float R = 20.0f;
    const std::vector<Expected> features = {
        {{{makeFloat2(30.37f, 30.61f), 0.03f, -0.1f, 0.1f, 0.03f}, R},
         t.repFocus,
         &detect.repFocusCnt},
        {{{makeFloat2(80.72f, 30.28f), -0.03f, -0.1f, 0.1f, -0.03f}, R},
         t.attrFocus,
         &detect.attrFocusCnt},
        {{{makeFloat2(130.43f, 30.55f), 0, -0.1f, 0.1f, 0}, R}, t.center, &detect.centerCnt},
        {{{makeFloat2(30.58f, 80.34f), 0.1f, 0, 0, 0.05f}, R}, t.repNode, &detect.repNodeCnt},
        {{{makeFloat2(80.26f, 80.83f), -0.1f, 0.02f, 0, -0.05f}, R},
         t.attrNode,
         &detect.attrNodeCnt},
        {{{makeFloat2(130.61f, 80.47f), 0.1f, 0, 0, -0.08f}, R}, t.saddlePnt, &detect.saddlePntCnt},
    };
    DataManipulate data = sampledField(160, 110,
                                       [&](float x, float y)
                                       {
                                           float2 v = makeFloat2(0, 0);
                                           for (const Expected& e : features)
                                               v = v + e.feature(x, y);
                                           return v;
                                       });
    detectAll(detect, data);
    EXPECT_EQ(detect.allPntCnt, 6);
    for (const Expected& e : features)
    {
        ASSERT_EQ(*e.count, 1) << e.feature.flow.c.x << ", " << e.feature.flow.c.y;
        EXPECT_NEAR(e.table[0].x, e.feature.flow.c.x, 0.05f);
        EXPECT_NEAR(e.table[0].y, e.feature.flow.c.y, 0.05f);
    }
}
