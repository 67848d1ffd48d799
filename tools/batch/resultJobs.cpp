#include "resultJobs.h"

#include "batchArguments.h"
#include "batchFailure.h"
#include "common/fieldFit.h"
#include "critpnt/critpntDetect.h"
#include "critpnt/critpntTracker.h"
#include "fieldImport.h"
#include "fieldInput.h"
#include "fileExtension.h"
#include "interruption.h"
#include "lic/LIC.h"
#include "netcdf/progress.h"
#include "numberText.h"
#include "stagedFile.h"
#include "tracing/tracedLines.h"
#include "tracing/tracing.h"

#include <QImage>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

namespace
{
// The view makes its image through a PPM file and reads it back, equalised on request; so does
// this. The noise restarts the C library's sequence, as in the view's first image of a run.
void writeLicImage(DataManipulate& data, int index, const fs::path& out, bool equalise,
                   int pixelsPerCell)
{
    const int3 size = data.flowFieldSize;
    LIC lic(size);
    lic.pixelsPerCell = pixelsPerCell;
    const int imageW = size.x * pixelsPerCell;
    const int imageH = size.y * pixelsPerCell;
    const StagedFile staged(out);
    std::srand(1);
    // The writer has said why; the image is not read back from a file that is not there.
    if (!lic.GenLICImage(size.x, size.y, data.orgnvectField2dSlice[index][0],
                         staged.path().c_str()))
        throw BatchFailure::badInput("cannot write " + out.string());
    Image image;
    if (!lic.readinLICImage(size.x, size.y, &image, equalise, staged.path().c_str()))
        throw BatchFailure::badInput("cannot write " + out.string());
    if (lowerExtension(out) == ".ppm")
    {
        if (equalise)
            lic.imgProc->SavePPM(staged.path().c_str(),
                                 reinterpret_cast<const unsigned char*>(image.data), imageW, imageH,
                                 false);
        Image check;
        return staged.commit(lic.imgProc->readPPM(staged.path().c_str(), &check) == 1);
    }
    // The PNG shows the field north up: its first row is the field's top row.
    QImage grey(imageW, imageH, QImage::Format_Grayscale8);
    for (int j = 0; j < imageH; ++j)
        for (int i = 0; i < imageW; ++i)
            grey.scanLine(imageH - 1 - j)[i] =
                static_cast<uchar>(image.data[3 * (std::size_t(j) * imageW + i)]);
    staged.commit(grey.save(QString::fromStdString(staged.path().string()), "PNG"));
}

fs::path numbered(const fs::path& out, int step)
{
    fs::path name = out;
    name.replace_filename(out.stem().string() + "-" + std::to_string(step) +
                          out.extension().string());
    return name;
}

struct Polyline
{
    const float2* points;
    int count;
};

// Traces one line from seed the way a click does: the store's counts start afresh.
Polyline traceLine(Tracing& tracer, const std::string& kind, float2 seed, int startTime,
                   DataManipulate& data, TracedLines& lines)
{
    lines.currNumpnt = lines.streamlineNum = lines.pathlineNum = lines.streaklineNum = 0;
    const int3 size = data.flowFieldSize;
    float2*** field = data.orgnvectField2dSlice.data();
    const float2* points = lines.pointArray.data();
    if (kind == "streamline")
    {
        tracer.strmlTracing(seed, size, field, &lines, nullptr, nullptr, 0, lines.currNumpnt);
        const flowlineInfo& rec = lines.streamlineIndxArray[0];
        return Polyline{points + rec.startIdx, rec.numPoint + 1};
    }
    if (kind == "pathline")
    {
        tracer.pthlTracing(seed, tracer.pthlTraceTimeIntv, startTime, float(size.z), size, field,
                           &lines, 0, lines.currNumpnt);
        const flowlineInfo& rec = lines.pathlineIndxArray[0];
        return Polyline{points + rec.startIdx, rec.numPoint + 1};
    }
    tracer.buildStreakline(seed, size, field, &lines);
    const flowlineInfo& rec = lines.streaklineIndxArray[0];
    return Polyline{points + rec.startIdx, rec.numPoint};
}

void writeLine(std::ostream& out, bool json, int line, const std::string& kind, float2 seed,
               const Polyline& polyline)
{
    if (!json)
    {
        for (int k = 0; k < polyline.count; ++k)
            out << line << ',' << k << ',' << numberText(polyline.points[k].x) << ','
                << numberText(polyline.points[k].y) << '\n';
        return;
    }
    out << (line ? ",\n" : "[\n") << "{\"line\": " << line << ", \"kind\": \"" << kind
        << "\", \"seed\": [" << numberText(seed.x) << ", " << numberText(seed.y)
        << "], \"points\": [";
    for (int k = 0; k < polyline.count; ++k)
        out << (k ? ", [" : "[") << numberText(polyline.points[k].x) << ", "
            << numberText(polyline.points[k].y) << ']';
    out << "]}";
}
// The view's rule for the field's width unless --pixels-per-cell K says otherwise.
int pixelsPerCell(const BatchArguments& args, int3 size)
{
    if (!args.has("--pixels-per-cell"))
        return FieldFit::licPixelsPerCell(size.x, size.y);
    const int k = args.integer("--pixels-per-cell", 1);
    const int most = std::max(1, LIC::kMaxSide / std::max({size.x, size.y, 1}));
    if (k < 1 || k > most)
        throw BatchFailure::badUsage("--pixels-per-cell is 1 to " + std::to_string(most) +
                                     " for this field, not " + std::to_string(k));
    return k;
}

const char* typeName(int code)
{
    switch (code)
    {
    case 0:
        return "attracting node";
    case 1:
        return "repelling node";
    case 2:
        return "attracting focus";
    case 3:
        return "repelling focus";
    case 4:
        return "saddle";
    default:
        return "center";
    }
}

// One row per point per step, a track's rows together; steps as the source counts them.
void writeTracksCsv(const CritpntTracker& tracker, int stepOffset, std::ostream& out)
{
    out << "track,step,x,y,type,code\n";
    for (std::size_t id = 0; id < tracker.tracks.size(); ++id)
        for (const trackPoint& p : tracker.tracks[id].points)
            out << id << ',' << p.step + stepOffset << ',' << numberText(p.pos.x) << ','
                << numberText(p.pos.y) << ',' << typeName(p.type) << ',' << p.type << '\n';
}

void writeTrackEvent(const trackEvent& e, int stepOffset, std::ostream& out)
{
    static const char* const kKinds[] = {"type change", "birth", "death"};
    out << "{\"kind\": \"" << kKinds[e.kind] << "\", \"step\": " << e.step + stepOffset
        << ", \"position\": [" << numberText(e.pos.x) << ", " << numberText(e.pos.y) << "], ";
    if (e.kind == TEK_TYPE_CHANGE)
        out << "\"track\": " << e.track << ", \"from\": \"" << typeName(e.fromType)
            << "\", \"to\": \"" << typeName(e.toType) << "\"}";
    else
        out << "\"saddle\": " << e.track << ", \"partner\": " << e.partner << '}';
}

void writeTracksJson(const CritpntTracker& tracker, int stepOffset, std::ostream& out)
{
    out << "{\"tracks\": [";
    for (std::size_t id = 0; id < tracker.tracks.size(); ++id)
    {
        out << (id ? ",\n" : "\n") << "{\"track\": " << id << ", \"points\": [";
        bool first = true;
        for (const trackPoint& p : tracker.tracks[id].points)
        {
            out << (first ? "" : ", ") << "{\"step\": " << p.step + stepOffset
                << ", \"x\": " << numberText(p.pos.x) << ", \"y\": " << numberText(p.pos.y)
                << ", \"type\": \"" << typeName(p.type) << "\", \"code\": " << p.type << '}';
            first = false;
        }
        out << "]}";
    }
    out << "\n],\n\"events\": [";
    for (std::size_t k = 0; k < tracker.events.size(); ++k)
    {
        out << (k ? ",\n" : "\n");
        writeTrackEvent(tracker.events[k], stepOffset, out);
    }
    out << "\n]}\n";
}

// critpnt --track: the points of every step in --times A:B (all by default), linked into tracks.
void critpntTracks(const std::vector<std::string>& words, std::ostream& out, std::ostream& err)
{
    const BatchArguments args(words, FieldInput::withFieldOptions({"--times", "--format"}),
                              {"--track"}, 1);
    const bool json = args.json();
    const FieldImport::StepRange range = args.has("--times")
                                             ? FieldImport::parseTimes(args.text("--times"))
                                             : FieldImport::StepRange{};
    FieldInput input(args.positional(0), args, err, range.first, range.last);
    const int3 size = input.data.flowFieldSize;
    const int last = range.last < 0 ? size.z - 1 : input.index(range.last);
    CritpntTracker tracker;
    tracker.track(input.data.orgnvectField2dSlice.data(), size, input.index(range.first), last);
    if (json)
        writeTracksJson(tracker, input.firstStep, out);
    else
        writeTracksCsv(tracker, input.firstStep, out);
}
} // namespace

void ResultJobs::lic(const std::vector<std::string>& words, std::ostream& err)
{
    const BatchArguments args(words, FieldInput::withFieldOptions({"--time", "--pixels-per-cell"}),
                              {"--equalise", "--all-times"}, 2);
    const fs::path out = args.positional(1);
    if (lowerExtension(out) != ".png" && lowerExtension(out) != ".ppm")
        throw BatchFailure::badUsage("the image is OUT.png or OUT.ppm, not " + out.string());
    const bool allTimes = args.has("--all-times");
    if (allTimes && args.has("--time"))
        throw BatchFailure::badUsage("--all-times and --time exclude each other");
    const int time = args.integer("--time", 0);
    FieldInput input(args.positional(0), args, err, allTimes ? 0 : time, allTimes ? -1 : time);
    const int k = pixelsPerCell(args, input.data.flowFieldSize);
    if (!allTimes)
        return writeLicImage(input.data, input.index(time), out, args.has("--equalise"), k);
    const int steps = input.data.flowFieldSize.z;
    Progress progress("lic", steps);
    for (int t = 0; t < steps; ++t)
    {
        Interruption::check();
        writeLicImage(input.data, t, numbered(out, t), args.has("--equalise"), k);
        progress.show(t + 1);
    }
}

void ResultJobs::critpnt(const std::vector<std::string>& words, std::ostream& out,
                         std::ostream& err)
{
    if (std::find(words.begin(), words.end(), "--track") != words.end())
        return critpntTracks(words, out, err);
    const BatchArguments args(words, FieldInput::withFieldOptions({"--time", "--format"}), {}, 1);
    const bool json = args.json();
    const int time = args.integer("--time", 0);
    FieldInput input(args.positional(0), args, err, time, time);
    CritpntDetect detect;
    int3 size = input.data.flowFieldSize;
    detect.genAllCritpntData(input.data.orgnvectField2dSlice[input.index(time)], 36.0f, &size);
    const critpntArray& found = *detect.critpoints;
    const struct
    {
        int code;
        const float2* points;
        int count;
    } types[] = {
        {3, found.repFocus, detect.repFocusCnt}, {2, found.attrFocus, detect.attrFocusCnt},
        {6, found.center, detect.centerCnt},     {1, found.repNode, detect.repNodeCnt},
        {0, found.attrNode, detect.attrNodeCnt}, {4, found.saddlePnt, detect.saddlePntCnt}};
    out << (json ? "[" : "x,y,type,code\n");
    bool first = true;
    for (const auto& type : types)
        for (int k = 0; k < type.count; ++k, first = false)
        {
            const std::string x = numberText(type.points[k].x), y = numberText(type.points[k].y);
            if (json)
                out << (first ? "\n" : ",\n") << "{\"x\": " << x << ", \"y\": " << y
                    << ", \"type\": \"" << typeName(type.code) << "\", \"code\": " << type.code
                    << '}';
            else
                out << x << ',' << y << ',' << typeName(type.code) << ',' << type.code << '\n';
        }
    out << (json ? "\n]\n" : "");
}

void ResultJobs::trace(const std::vector<std::string>& words, std::ostream& out, std::ostream& err)
{
    const BatchArguments args(
        words, FieldInput::withFieldOptions({"--seed", "--kind", "--time", "--format"}), {}, 1);
    const bool json = args.json();
    std::vector<float2> seeds;
    for (const std::string& text : args.texts("--seed"))
        seeds.push_back(BatchArguments::point(text));
    if (seeds.empty())
        throw BatchFailure::badUsage("give at least one --seed X,Y");
    const std::string kind = args.text("--kind", "streamline");
    if (kind != "streamline" && kind != "pathline" && kind != "streakline")
        throw BatchFailure::badUsage("--kind is streamline, pathline or streakline");
    if (kind == "streakline" && args.has("--time"))
        throw BatchFailure::badUsage("a streakline releases particles from time 0 on: no --time");
    const int time = args.integer("--time", 0);
    // A streamline needs its own time step only; the others follow the field from the start.
    const bool oneStep = kind == "streamline";
    FieldInput input(args.positional(0), args, err, oneStep ? time : 0, oneStep ? time : -1);
    FieldInput::checkSteps(args.positional(0), input.data.flowFieldSize.z, input.index(time),
                           input.index(time));
    Tracing tracer(input.data.flowFieldSize, input.index(time));
    TracedLines lines;
    out << (json ? "" : "line,point,x,y\n");
    for (std::size_t k = 0; k < seeds.size(); ++k)
        writeLine(out, json, int(k), kind, seeds[k],
                  traceLine(tracer, kind, seeds[k], input.index(time), input.data, lines));
    out << (json ? "\n]\n" : "");
}
