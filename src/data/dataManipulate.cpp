#include "data/dataManipulate.h"

#include "common/inputFile.h"
#include "common/printLine.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>

namespace
{

std::string localPath(const QString& path)
{
    return path.toLocal8Bit().toStdString();
}

// Width x height x steps, or -1 when a size is not positive or the product is beyond the
// limit. Each partial product stays below 2^62, so none of them can overflow.
std::int64_t sampleCount(const int3& size)
{
    if (size.x <= 0 || size.y <= 0 || size.z <= 0)
        return -1;
    const std::int64_t plane = std::int64_t(size.x) * size.y;
    if (plane > DataManipulate::kMaxSamples || plane * size.z > DataManipulate::kMaxSamples)
        return -1;
    return plane * size.z;
}

// True when v truncated toward zero lies in [0, limit): v in (-1, limit). False for NaN.
bool truncatesBelow(float v, int limit)
{
    return v > -1.0f && double(v) < double(limit);
}

bool sizeIsSane(const int3& size)
{
    return sampleCount(size) > 0;
}

// True when the file can be read and holds at least need bytes; otherwise says which file
// it is and why it cannot serve.
bool holdsBytes(const char* kind, const std::string& path, std::int64_t need)
{
    const InputFile file(path);
    if (!file.usable())
        printLine("Can't open %s! %s: %s", kind, path.c_str(), file.problem.c_str());
    else if (file.size < need)
        printLine("Refused %s %s: it holds %lld bytes, %lld are needed", kind, path.c_str(),
                  static_cast<long long>(file.size), static_cast<long long>(need));
    return file.usable() && file.size >= need;
}

// Puts the 1-based step number in place of the two characters before the last ".dat".
bool withStepNumber(QString& path, int step)
{
    const qsizetype dot = path.lastIndexOf(".dat");
    if (dot < 2)
        return false;
    path.replace(dot - 2, 2, QString::asprintf("%02d", step));
    return true;
}

// Samples with a NaN or infinite component would poison every line and interpolation that
// touches them: they become zero vectors, which the rest of the system treats as no-data, and
// their number is reported.
void zeroNonFinite(std::vector<float2>& samples, const std::string& source)
{
    std::int64_t count = 0;
    for (float2& s : samples)
        if (!std::isfinite(s.x) || !std::isfinite(s.y))
        {
            s = makeFloat2(0.0f, 0.0f);
            ++count;
        }
    if (count > 0)
        printLine("%s: %lld of %lld samples are not finite (NaN or Inf), set to zero",
                  source.c_str(), static_cast<long long>(count),
                  static_cast<long long>(samples.size()));
}

} // namespace

QString DataManipulate::otherComponentPath(const QString& headerPath, const QString& path,
                                           QChar from, QChar to)
{
    // Only the names below the header's folder tell the components apart (Uf/Uf01.dat); a
    // folder above it may hold the letter in its own name. A file elsewhere keeps its folder
    // and file name as that part.
    const qsizetype slash = headerPath.lastIndexOf('/');
    const QString folder = slash >= 0 ? headerPath.left(slash + 1) : QString();
    qsizetype keep = 0;
    if (!folder.isEmpty() && path.startsWith(folder))
        keep = folder.size();
    else
    {
        const qsizetype last = path.lastIndexOf('/');
        keep = last > 0 ? path.lastIndexOf('/', last - 1) + 1 : 0;
    }
    return path.left(keep) + path.mid(keep).replace(from, to);
}

DataManipulate::DataManipulate(QString stdyHdr, QString stdyDat, QString unstdyHdr,
                               QString unstdyDat, bool)
    : stdyHdrPth(std::move(stdyHdr)), stdyDatPth(std::move(stdyDat)),
      unstdyHdrPth(std::move(unstdyHdr)), unstdyDatPth(std::move(unstdyDat))
{
}

void DataManipulate::setFieldSize(int3 size)
{
    flowFieldSize = size;
    winWidth = size.x;
    winHeight = size.y;
}

bool DataManipulate::readVectorDataSlice(const char* filename)
{
    const InputFile file(filename);
    if (!file.usable())
    {
        printLine("Can't open slice file! %s: %s", filename, file.problem.c_str());
        return false;
    }
    std::ifstream in(filename, std::ios::binary);
    int3 size{0, 0, 0};
    if (!in.read(reinterpret_cast<char*>(&size), sizeof size))
    {
        printLine("Refused slice file %s: shorter than its 12-byte header", filename);
        return false;
    }
    const std::int64_t n = sampleCount(size);
    if (n < 0)
    {
        printLine("Refused slice file %s: bad field size %d x %d x %d", filename, size.x, size.y,
                  size.z);
        return false;
    }
    // A body of another length holds another field: read with this header it is scrambled.
    const std::int64_t announced = std::int64_t(sizeof size) + n * std::int64_t(sizeof(float2));
    if (file.size != announced)
    {
        printLine("Refused slice file %s: it holds %lld bytes, its header %d x %d x %d announces "
                  "%lld",
                  filename, static_cast<long long>(file.size), size.x, size.y, size.z,
                  static_cast<long long>(announced));
        return false;
    }
    std::vector<float2> samples(n);
    if (!in.read(reinterpret_cast<char*>(samples.data()), n * std::int64_t(sizeof(float2))))
    {
        printLine("Refused slice file %s: it ended before its samples", filename);
        return false;
    }
    zeroNonFinite(samples, filename);
    orgnvectField2d = std::move(samples);
    setFieldSize(size);
    assignPointerto2Ddata();
    currentVecFile.clear();
    return true;
}

DataManipulate::HeaderRead DataManipulate::parseHeader(bool bStdy, QString& stdyLicImg)
{
    const QString& path = bStdy ? stdyHdrPth : unstdyHdrPth;
    const InputFile file(localPath(path));
    std::ifstream in;
    if (file.usable())
        in.open(localPath(path));
    if (!in.is_open())
    {
        printLine("Can't open header file! %s: %s", localPath(path).c_str(),
                  file.usable() ? "it cannot be opened" : file.problem.c_str());
        return HeaderRead::Missing;
    }
    int values[6] = {0, 0, 0, 0, 0, 0};
    const int count = bStdy ? 3 : 6;
    for (int k = 0; k < count; ++k)
        in >> values[k];
    int3 size =
        bStdy ? int3{values[0], values[1], values[2]} : int3{values[2], values[3], values[5]};
    // The steady loader reads one step whatever the header announces.
    if (bStdy && size.z > 0)
        size.z = 1;
    // A series holds at least one depth slice per component file.
    if (in.fail() || !sizeIsSane(size) || (!bStdy && values[4] <= 0))
    {
        printLine("Refused header %s: it does not hold %d valid sizes", localPath(path).c_str(),
                  count);
        return HeaderRead::Malformed;
    }
    setFieldSize(size);
    if (bStdy)
    {
        currentVecFile = localPath(path.left(std::max<qsizetype>(0, path.size() - 4)));
        stdyLicImg = QString::fromLocal8Bit(currentVecFile.c_str()) + ".ppm";
    }
    else
    {
        unstdyDimension = values[0];
        unstdyTimeFlg = values[1];
        unstdyDepth = values[4];
        const qsizetype slash = path.lastIndexOf('/');
        currentVecFile = localPath(path.left(std::max<qsizetype>(0, slash)) + "/hurricane");
    }
    return HeaderRead::Read;
}

bool DataManipulate::readHeaderFile(bool bStdy, QString& stdyLicImg)
{
    return parseHeader(bStdy, stdyLicImg) == HeaderRead::Read;
}

bool DataManipulate::readVectFile(bool bStdy, QString& stdyLicImg)
{
    const int3 heldSize = flowFieldSize;
    const std::string heldStem = currentVecFile;
    const QString heldLicImg = stdyLicImg;
    const int heldHeader[3] = {unstdyDimension, unstdyTimeFlg, unstdyDepth};
    // A header that cannot be opened leaves the size already held, and loading goes on.
    if (parseHeader(bStdy, stdyLicImg) == HeaderRead::Malformed || !sizeIsSane(flowFieldSize) ||
        !getDatato2d(bStdy))
    {
        setFieldSize(heldSize);
        currentVecFile = heldStem;
        stdyLicImg = heldLicImg;
        unstdyDimension = heldHeader[0];
        unstdyTimeFlg = heldHeader[1];
        unstdyDepth = heldHeader[2];
        return false;
    }
    assignPointerto2Ddata();
    if (stdyDatPth.contains("saddle") && orgnvectField2d.size() >= 5051)
        orgnvectField2d[5050] = orgnvectField2d[5049];
    return true;
}

bool DataManipulate::getDatato2d(bool bStdy)
{
    const std::int64_t n = std::int64_t(flowFieldSize.x) * flowFieldSize.y;
    std::vector<float2> samples;
    if (bStdy)
    {
        const std::string path = localPath(stdyDatPth);
        const std::int64_t need = n * std::int64_t(sizeof(float3));
        if (!holdsBytes("vector file", path, need))
            return false;
        // Extra bytes mean another grid (or a text file): read with this header it is scrambled.
        if (const std::int64_t held = InputFile(path).size; held != need)
        {
            printLine("Refused vector file %s: it holds %lld bytes, its header %d x %d announces "
                      "%lld",
                      path.c_str(), static_cast<long long>(held), flowFieldSize.x, flowFieldSize.y,
                      static_cast<long long>(need));
            return false;
        }
        std::ifstream in(path, std::ios::binary);
        std::vector<float3> records(n);
        if (!in.read(reinterpret_cast<char*>(records.data()), need))
        {
            printLine("Refused vector file %s: it ended before its records", path.c_str());
            return false;
        }
        samples.resize(n);
        for (std::int64_t k = 0; k < n; ++k)
            samples[k] = makeFloat2(records[k].x, records[k].y);
        flowFieldSize.z = 1;
        zeroNonFinite(samples, path);
    }
    else
    {
        if (!unstdyFilesHoldSlice(n))
            return false;
        std::vector<float3> staging(n * flowFieldSize.z, float3{0, 0, 0});
        getAllUnstdyData(staging.data());
        samples.resize(staging.size());
        for (std::size_t k = 0; k < staging.size(); ++k)
            samples[k] = makeFloat2(staging[k].x, staging[k].y);
        zeroNonFinite(samples, localPath(unstdyDatPth));
    }
    orgnvectField2d = std::move(samples);
    return true;
}

// Every U and V file of the series must exist and hold the depth slice read; a set that does
// not is refused before anything is allocated for the header's size.
bool DataManipulate::unstdyFilesHoldSlice(std::int64_t n) const
{
    if (uiUnstdySlicId < 0 || uiUnstdySlicId >= unstdyDepth)
    {
        printLine("Refused unsteady data %s: there is no depth slice %d, its header announces "
                  "%d",
                  localPath(unstdyHdrPth).c_str(), uiUnstdySlicId, unstdyDepth);
        return false;
    }
    const std::int64_t need = (std::int64_t(uiUnstdySlicId) + 1) * 4 * n;
    for (int t = 1; t <= flowFieldSize.z; ++t)
    {
        QString pathU = unstdyDatPth;
        QString pathV = otherComponentPath(unstdyHdrPth, unstdyDatPth, 'U', 'V');
        if (!withStepNumber(pathU, t) || !withStepNumber(pathV, t))
        {
            printLine("Can't open Data file! %s: no step number before \".dat\"",
                      localPath(unstdyDatPth).c_str());
            return false;
        }
        if (!holdsBytes("Data file", localPath(pathU), need) ||
            !holdsBytes("Data file", localPath(pathV), need))
            return false;
    }
    return true;
}

void DataManipulate::getAllUnstdyData(float3* orginFlowData)
{
    const std::int64_t n = std::int64_t(flowFieldSize.x) * flowFieldSize.y;
    // Every step is named from the picked files: numbering the previous step's name would turn
    // step 101 into "...1101.dat".
    const QString pickedU = unstdyDatPth;
    const QString pickedV = otherComponentPath(unstdyHdrPth, unstdyDatPth, 'U', 'V');
    for (int t = 0; t < flowFieldSize.z; ++t)
    {
        unstdyDatPth = pickedU;
        unstdyDatPth2 = pickedV;
        if (!readUnstdyStep(t, n, orginFlowData))
            return;
    }
}

// Reads depth slice uiUnstdySlicId of step t from both component files. Returns false when a
// file cannot be read, which ends the series.
bool DataManipulate::readUnstdyStep(int t, std::int64_t n, float3* orginFlowData)
{
    const bool named = withStepNumber(unstdyDatPth, t + 1) && withStepNumber(unstdyDatPth2, t + 1);
    std::ifstream inU(localPath(unstdyDatPth), std::ios::binary);
    std::ifstream inV(localPath(unstdyDatPth2), std::ios::binary);
    std::vector<float> u(n), v(n);
    const std::int64_t offset = std::int64_t(std::max(uiUnstdySlicId, 0)) * 4 * n;
    inU.seekg(offset);
    inV.seekg(offset);
    if (!named || !inU.read(reinterpret_cast<char*>(u.data()), 4 * n) ||
        !inV.read(reinterpret_cast<char*>(v.data()), 4 * n))
    {
        printLine("Can't open Data file! %s / %s: no depth slice %d to read",
                  localPath(unstdyDatPth).c_str(), localPath(unstdyDatPth2).c_str(),
                  uiUnstdySlicId);
        return false;
    }
    for (std::int64_t k = 0; k < n; ++k)
    {
        orginFlowData[t * n + k].x = u[k];
        orginFlowData[t * n + k].y = v[k];
    }
    return true;
}

void DataManipulate::assignPointerto2Ddata()
{
    const int w = flowFieldSize.x, h = flowFieldSize.y, steps = flowFieldSize.z;
    orgnvectField2dXAxis.assign(std::size_t(h) * steps, nullptr);
    orgnvectField2dSlice.assign(steps, nullptr);
    for (int t = 0; t < steps; ++t)
    {
        for (int j = 0; j < h; ++j)
            orgnvectField2dXAxis[std::size_t(t) * h + j] =
                orgnvectField2d.data() + (std::size_t(t) * h + j) * w;
        orgnvectField2dSlice[t] = orgnvectField2dXAxis.data() + std::size_t(t) * h;
    }
}

bool DataManipulate::saveVectorDataSlice(const char* filename) const
{
    std::ofstream out(filename, std::ios::binary | std::ios::trunc);
    if (!out)
        return false;
    const std::int64_t n = std::int64_t(flowFieldSize.x) * flowFieldSize.y;
    for (std::int64_t k = 0; k < n && k < std::int64_t(orgnvectField2d.size()); ++k)
    {
        const float3 record = makeFloat3(orgnvectField2d[k].x, orgnvectField2d[k].y, 0.0f);
        out.write(reinterpret_cast<const char*>(&record), sizeof record);
    }
    return bool(out);
}

void DataManipulate::normalizaVec(float2** flowVecdata) const
{
    for (int j = 0; j < winHeight; ++j)
        for (int i = 0; i < winWidth; ++i)
        {
            float2& v = flowVecdata[j][i];
            const float len = std::sqrt(v.x * v.x + v.y * v.y);
            // A zero vector has no direction; it stays zero instead of becoming NaN.
            if (len > 0.0f)
                v = makeFloat2(v.x / len, v.y / len);
        }
}

void DataManipulate::printFileData(int width, int height, const int* data) const
{
    for (int row = 0; row < width; ++row)
    {
        const int* entries = data + std::size_t(row) * width;
        int k = 0;
        for (; k + 1 < height; k += 2)
            std::printf("%d %d\n", entries[k], entries[k + 1]);
        if (k < height)
            std::printf("%d\n", entries[k]);
    }
}

bool DataManipulate::interpolateVector2D(const float2& pos, const int& time, float2& ret) const
{
    // Truncation toward zero, not floor: positions in (-1, 0) extrapolate from the first cell.
    // The range is checked on the float, so NaN or a huge position is never converted.
    if (!hasField() || !truncatesBelow(pos.x, flowFieldSize.x - 1) ||
        !truncatesBelow(pos.y, flowFieldSize.y - 1) || time < 0 || time >= flowFieldSize.z)
        return false;
    const int xint = static_cast<int>(pos.x), yint = static_cast<int>(pos.y);
    const float xfac = pos.x - xint, yfac = pos.y - yint;
    float2** const s = orgnvectField2dSlice[time];
    ret = (1 - xfac) * (1 - yfac) * s[yint][xint] + xfac * (1 - yfac) * s[yint][xint + 1] +
          (1 - xfac) * yfac * s[yint + 1][xint] + xfac * yfac * s[yint + 1][xint + 1];
    return true;
}

bool DataManipulate::interpolateVector(const float2& pos, const float& time, float2& ret) const
{
    if (!hasField() || !truncatesBelow(pos.x, flowFieldSize.x - 1) ||
        !truncatesBelow(pos.y, flowFieldSize.y - 1) || !truncatesBelow(time, flowFieldSize.z - 1))
        return false;
    const int xint = static_cast<int>(pos.x), yint = static_cast<int>(pos.y);
    const int zint = static_cast<int>(time);
    const float fac[3] = {pos.x - xint, pos.y - yint, time - zint};
    float2 sum = makeFloat2(0.0f, 0.0f);
    for (int a = 0; a < 2; ++a)
        for (int b = 0; b < 2; ++b)
            for (int c = 0; c < 2; ++c)
            {
                const float weight = (a ? fac[2] : 1 - fac[2]) * (b ? fac[1] : 1 - fac[1]) *
                                     (c ? fac[0] : 1 - fac[0]);
                sum = sum + weight * orgnvectField2dSlice[zint + a][yint + b][xint + c];
            }
    ret = sum;
    return true;
}

// The first coordinate selects a row of w records, the second the record in the row. Indices
// are clamped to the array, so positions on or past its last row and column read no further.
bool DataManipulate::interpolateVect(float2 pos, float, float3& vec, int3 vectorFieldSize,
                                     const float3* vectField2D) const
{
    const int w = vectorFieldSize.x, rows = vectorFieldSize.y;
    if (w <= 0 || rows <= 0)
        return false;
    const float af = std::floor(pos.x), bf = std::floor(pos.y);
    const float fa = pos.x - af, fb = pos.y - bf;
    const int a0 = std::clamp(static_cast<int>(std::clamp(af, -1.0f, float(rows))), 0, rows - 1);
    const int b0 = std::clamp(static_cast<int>(std::clamp(bf, -1.0f, float(w))), 0, w - 1);
    const int a1 = std::min(a0 + 1, rows - 1), b1 = std::min(b0 + 1, w - 1);
    const float3& f00 = vectField2D[std::size_t(a0) * w + b0];
    const float3& f01 = vectField2D[std::size_t(a0) * w + b1];
    const float3& f10 = vectField2D[std::size_t(a1) * w + b0];
    const float3& f11 = vectField2D[std::size_t(a1) * w + b1];
    vec = (1 - fb) * ((1 - fa) * f00 + fa * f01) + fb * ((1 - fa) * f10 + fa * f11);
    return std::sqrt(vec.x * vec.x + vec.y * vec.y) >= 0.01f;
}

bool DataManipulate::mapVectorFile(const float3* vectField2D, float3* vectMappedField2D,
                                   int3 vectorFieldSize) const
{
    std::printf("mapVectorFile\n");
    const int w = flowFieldSize.x, h = flowFieldSize.y;
    for (int k = 0; k < w * h; ++k)
    {
        const int q = k / w, r = k % w;
        const float2 pos =
            makeFloat2(float(q) * vectorFieldSize.x / w, float(r) * vectorFieldSize.y / h);
        interpolateVect(pos, 0, vectMappedField2D[k], vectorFieldSize, vectField2D);
    }
    return true;
}
