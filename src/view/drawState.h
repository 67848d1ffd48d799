// Everything the view's frame is drawn from that the panel and the mouse set: camera, mark
// sizes, time steps and display flags. The kept layers' key is made from its bytes, so a
// member added here is part of the key without further ado.
#pragma once

#include <cstring>
#include <type_traits>
#include <vector>

struct DrawState
{
    int translateX = 0;
    int translateY = 0;
    int translateZ = 0;
    float flowlineRadius = 3.0f;
    float flowSeedRadius = 2.0f;
    // Scales every size drawn in field units (bands, discs, critical point glows), so marks
    // stay legible on small grids; 1 draws them at their own sizes.
    float markScale = 1.0f;
    int uiTimelDispTimeId = 0;
    int critpntTimeId = 0; // time step the shown critical points were found in
    bool bAttachSavedImg = false;
    bool bAntiali = false;
    bool bPnt = true;
    bool bRake = false;
    bool bUnif = false;
    bool bRand = false;
    bool bStrml = true;
    bool bPthl = false;
    bool bStrkl = false;
    bool bTimel = false;
    bool bPthTimel = false;
    bool bStrmStrkl = false;
    bool bPthlStrkl = false;
    bool bFirstSeed = true;
    bool bLICBk = false;
    bool bLicHisto = false;
    bool bCritpntDetect = false;
    bool bRepFocus = false;
    bool bAttrFocus = false;
    bool bCenter = false;
    bool bRepNode = false;
    bool bAttrNode = false;
    bool bSaddlePnt = false;
    bool bCriticalPntStrml = false;
    bool bTubelines = true;
    bool bFlowlet = false;
    bool bTracks = false;
    int ftleMode = 0;           // FlowView::kFtleOff ... kFtleBoth
    bool bFtleMultiply = false; // the FTLE colours multiply the LIC image
    bool bFtleShown = false;    // the FTLE texture holds the image of the current request

    // The state's bytes, padding included: the owner value-initialises it (DrawState()), which
    // zeroes the padding first, and members are only ever assigned one by one.
    std::vector<unsigned char> bytes() const
    {
        static_assert(std::is_trivially_copyable_v<DrawState>);
        std::vector<unsigned char> out(sizeof(DrawState));
        std::memcpy(out.data(), this, sizeof(DrawState));
        return out;
    }
};
