// Finds the zeros of one time step of a 2-D vector field cell by cell (each once, none beside
// missing samples), classifies them from the eigenvalues of a stencil Jacobian, with a
// forward/backward tracing test where those cannot tell attracting from repelling, and places
// template seeds around each classified point for the view's template streamlines.
#pragma once

#include "critpnt/critpntArray.h"

#include <memory>

class BilinearCell;

// Type codes of getCritpntType and spotCripnts: 0 attracting node, 1 repelling node,
// 2 attracting focus, 3 repelling focus, 4 saddle, 6 center, -1 unclassified. Bit 0 of the
// codes 0 to 3 is the repelling flag and bit 1 the focus flag.
class CritpntDetect
{
public:
    CritpntDetect();

    // Detection, classification and template seeds, from scratch. resolution sets the angular
    // step of the focus and center templates (the view passes 36).
    void genAllCritpntData(float2** vectorData, float resolution, int3* flowsize);

    // Detection and classification.
    void findCritpnts(float2** vectorData, int3* flowsize);
    void spotCripnts(float2** vectorData, const int2& flowSize);
    int getCritpntType(float2** vectorData, float2 pos, float* det);
    float computeEigenValue(float2** vectorData, float2 pos);
    void computeJacobianMatrix2D(float2** vectorData, float2 pos);
    int testCriticalPoint(float2** vectorData, const int2& flowSize, const float2& pos) const;
    bool RK4(float2** vectorData, const int2& flowSize, const bool& isForward, float2& pos,
             float2& ret) const;
    bool interpolateVector(float2** vectorData, const int2& flowSize, const float2& pos,
                           float2& ret) const;
    float2 interpolateVector(const float& xfac, const float& yfac, const float2& lb,
                             const float2& lt, const float2& rb, const float2& rt) const;
    // Clearing what is shown is the view's business; the tables stay as they are.
    void clearCritpntData();

    // Template seeds.
    void genAllTmplt(float2** vectorData, float resolution, int3* flowsize);
    float genTmpltsz(float2 pos, int3* flowsize) const;
    void genTmpltCircle(float2* critpnt, int critpntCnt, float resolution, float2* tmpltSeeds,
                        int& seedsCnt, int3* flowsize);
    void genTmpltSrc(float2* critpnt, int critpntCnt, float resolution, float2* tmpltSeeds,
                     int& seedsCnt, int3* flowsize);
    void genTmpltSaddle(float2** vectorData, float2* critpnt, int critpntCnt, float2* tmpltSeeds,
                        int& seedsCnt, int3* flowsize);
    void getTwoSeedStartpntsSaddle(int* minIndx, float2** vectorData, float2 pos, int radius,
                                   float2* tmpltSeeds, int& seedsCnt);

    float jacobMatrix[4]; // du/dx, dv/dx, du/dy, dv/dy of the last Jacobian
    // Last eigenvalue pair: [0], [2] real parts; [1], [3] 1.0 for a complex pair, else 0.0.
    float eigenValues[4];
    std::unique_ptr<critpntArray> critpoints;
    int repFocusCnt = 0;
    int attrFocusCnt = 0;
    int centerCnt = 0;
    int repNodeCnt = 0;
    int attrNodeCnt = 0;
    int saddlePntCnt = 0;
    int allPntCnt = 0;
    // The grid the Jacobian stencils extrapolate beyond and the saddle direction samples must
    // lie in; every entry point that is given the field size records it here.
    int2 fieldSize{0, 0};

private:
    void searchCell(const BilinearCell& cell, int i, int j);
    void appendCandidate(const float2& pos);
    bool signUndecided() const;
    void appendCritpnt(int type, const float2& pos);
    float2 stencilDx(float2** vectorData, int x, int y) const;
    float2 stencilDy(float2** vectorData, int x, int y) const;
    float2 node(float2** vectorData, int x, int y) const;
    float2 traceEnd(float2** vectorData, const int2& flowSize, const float2& seed,
                    bool isForward) const;
    bool insideGrid(const float2& pos) const;
    bool insideField(const float2& pos, int3* flowsize) const;
    void appendSeed(const float2& seed, float2* tmpltSeeds, int& seedsCnt) const;
};
