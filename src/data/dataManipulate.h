// Owns the 2-D vector field every other part works on: one regular grid of float2 samples
// per time step, read from a binary slice file, a steady header/vector pair or an unsteady
// header with per-time-step U/V component files, and reached as orgnvectField2dSlice[t][j][i].
#pragma once

#include "common/typeOperations.h"

#include <QString>
#include <cstdint>
#include <string>
#include <vector>

class DataManipulate
{
public:
    // Larger fields are refused: 2^28 samples are 2 GiB, far beyond any data set here.
    static constexpr std::int64_t kMaxSamples = std::int64_t(1) << 28;

    DataManipulate(QString stdyHdrPth, QString stdyDatPth, QString unstdyHdrPth,
                   QString unstdyDatPth, bool bStdy);
    // The row and slice tables point into the sample block: copies would dangle, moves do not.
    DataManipulate(const DataManipulate&) = delete;
    DataManipulate& operator=(const DataManipulate&) = delete;
    DataManipulate(DataManipulate&&) = default;
    DataManipulate& operator=(DataManipulate&&) = default;

    // Loading. Each returns false when it could not load, leaving the held field unchanged.
    bool readVectorDataSlice(const char* filename);
    bool readVectFile(bool bStdy, QString& stdyLicImg);
    bool readHeaderFile(bool bStdy, QString& stdyLicImg);
    bool getDatato2d(bool bStdy);
    void getAllUnstdyData(float3* orginFlowData);
    void assignPointerto2Ddata();
    bool saveVectorDataSlice(const char* filename) const;
    void normalizaVec(float2** flowVecdata) const;
    void printFileData(int width, int height, const int* data) const;

    // Sampling.
    float2 makeVec(float x, float y) const { return makeFloat2(x, y); }
    bool interpolateVector2D(const float2& pos, const int& time, float2& ret) const;
    bool interpolateVector(const float2& pos, const float& time, float2& ret) const;
    bool interpolateVect(float2 pos, float timeIntplId, float3& vec, int3 vectorFieldSize,
                         const float3* vectField2D) const;
    bool mapVectorFile(const float3* vectField2D, float3* vectMappedField2D,
                       int3 vectorFieldSize) const;

    bool hasField() const { return !orgnvectField2d.empty(); }

    // The path of a series' other component file: every `from` turned into `to` in the part of
    // path below the header's folder (Uf/Uf01.dat gives Vf/Vf01.dat).
    static QString otherComponentPath(const QString& headerPath, const QString& path, QChar from,
                                      QChar to);

    std::vector<float2**> orgnvectField2dSlice; // entry t: rows of step t
    std::vector<float2*> orgnvectField2dXAxis;  // entry t*height + j: row j of step t
    std::vector<float2> orgnvectField2d;        // sample (i, j, t) at t*W*H + j*W + i
    QString stdyHdrPth;
    QString stdyDatPth;
    QString unstdyHdrPth;
    QString unstdyDatPth;
    QString unstdyDatPth2;
    std::string currentVecFile; // file-name stem of the loaded field
    int3 flowFieldSize{0, 0, 0};
    int winWidth = 0;
    int winHeight = 0;
    int unstdyDimension = 0;
    int unstdyTimeFlg = 0;
    int unstdyDepth = 0;
    int uiUnstdySlicId = 49;

private:
    enum class HeaderRead
    {
        Missing,
        Malformed,
        Read
    };
    HeaderRead parseHeader(bool bStdy, QString& stdyLicImg);
    void setFieldSize(int3 size);
    bool unstdyFilesHoldSlice(std::int64_t n) const;
    bool readUnstdyStep(int step, std::int64_t n, float3* orginFlowData);
};
