#include "convert/convert_run.h"

#include <cerrno>
#include <cstring>
#include <string>

#include "convert/block.h"
#include "convert/crs.h"
#include "convert/file_reading.h"
#include "convert/messages.h"
#include "convert/ordered_pipeline.h"

ThreadStarter gStartThread = [](std::function<void()> work) { return OwnedThread(std::move(work)); };

namespace {

// Converts the blocks and writes them: the lines, then the message of a stop.
class ConversionStage final : public PipelineStage<Block> {
public:
    ConversionStage(std::FILE* out, std::FILE* err) : out_(out), err_(err) {}

    void Reset(Block& block) noexcept override { block.Reset(); }
    bool Do(Block& block) noexcept override
    {
        ConvertBlock(block);
        return !block.outOfMemory;
    }

    bool Write(Block& block) override
    {
        // A block whose worker ran out of memory is converted again here, after the
        // blocks before it are written and freed, with a worker fewer; the run ends in
        // "out of memory" only when that fails too.
        if (block.outOfMemory) ConvertBlock(block);
        if (block.settings.map && !block.outOfMemory) {
            static const MapFields kPairs;
            for (const MapPoint& point : block.mapPoints)
                block.settings.map->AppendPoint(block.output, point, point.line,
                                                block.settings.mapFields ? *block.settings.mapFields : kPairs);
        }
        if (block.wrongZone != 0 && wrongZone_ == 0 && block.fileName)
            firstWrongZone_ = *block.fileName + ":" + std::to_string(block.firstWrongZoneLine);
        wrongZone_ += block.wrongZone;
        // A byte-order mark alone, before a stop at the first line, is not written.
        if (block.output.size() > block.leading.size() &&
            std::fwrite(block.output.data(), 1, block.output.size(), out_) != block.output.size()) {
            std::fputs(WriteFailedMessage(std::strerror(errno)).c_str(), err_);
            return false;
        }
        if (block.outside != 0 && outside_ == 0 && block.fileName)
            firstOutside_ = *block.fileName + ":" + std::to_string(block.firstOutsideLine);
        outside_ += block.outside;
        latitudeFirst_ += block.latitudeFirst;
        if (block.outOfMemory) {
            ReportOutOfMemory();
            return false;
        }
        if (block.stop) {
            // Lines already written go out before the message about what follows them.
            std::fflush(out_);
            std::string message;
            if (block.stop->line)
                message = (block.fileName ? *block.fileName : std::string("-")) + ":" +
                          std::to_string(*block.stop->line) + ": " + block.stop->message + "\n";
            else
                message = block.stop->message + "\n";
            std::fputs(message.c_str(), err_);
            stopStatus_ = block.stop->status;
            return false;
        }
        return true;
    }

    int Flush() noexcept override { return std::fflush(out_) == 0 ? 0 : errno; }

    void ReportFlushFailed(int reason) noexcept override
    {
        try {
            std::fputs(WriteFailedMessage(std::strerror(reason)).c_str(), err_);
        } catch (...) {
            std::fputs(OutOfMemoryMessage(), err_);
        }
    }

    void ReportOutOfMemory() noexcept override
    {
        std::fflush(out_);
        std::fputs(OutOfMemoryMessage(), err_);
    }

    // Points outside Taiwan's area in the blocks written, and the first one's place.
    unsigned long long Outside() const { return outside_; }
    const std::string& FirstOutside() const { return firstOutside_; }
    // Of those, the points that are degrees inside Taiwan's area with x and y swapped.
    unsigned long long LatitudeFirst() const { return latitudeFirst_; }
    // Grid results in the other zone than their region's, and the first one's place.
    unsigned long long WrongZone() const { return wrongZone_; }
    const std::string& FirstWrongZone() const { return firstWrongZone_; }
    // The exit status the stop that was written asks for (1 when none was).
    int StopStatus() const { return stopStatus_; }

private:
    std::FILE* out_;
    std::FILE* err_;
    unsigned long long outside_ = 0;
    std::string firstOutside_;
    unsigned long long latitudeFirst_ = 0;
    unsigned long long wrongZone_ = 0;
    std::string firstWrongZone_;
    int stopStatus_ = 1;
};

}  // namespace

int ConvertInputs(const ConvertOptions& options, unsigned threads, std::FILE* out, std::FILE* err)
{
    ConversionStage stage(out, err);
    int status = 0;
    {
        BlockPipeline pipeline(threads, stage);
        MapWriter map(options.outputFormat);
        MapWriter* writer = options.outputFormat == OutputFormat::Csv ? nullptr : &map;
        if (writer) std::fputs(map.Header().c_str(), out);
        for (const std::string& path : options.files) {
            FileReading file(options, pipeline, path, &path == &options.files.front(), writer);
            if (!ReadFile(file, path)) break;
        }
        status = pipeline.Finish();
        // Closed also after a stop: what was written still parses.
        if (writer) std::fputs(map.Footer().c_str(), out);
    }
    if (status != 0) status = stage.StopStatus();
    // After a stop the message about it is the last word.
    if (stage.Outside() != 0 && !options.quiet && status == 0) {
        std::fflush(out);
        std::fputs((options.from ? CrsAreaWarning(stage.Outside(), stage.FirstOutside(), *options.from)
                                 : AreaWarning(stage.Outside(), stage.FirstOutside(), options.mode == TM2ToGeographic,
                                               stage.LatitudeFirst() == stage.Outside()))
                       .c_str(),
                   err);
    }
    if (stage.WrongZone() != 0 && !options.quiet && status == 0) {
        std::fflush(out);
        std::fputs(ZoneNotice(stage.WrongZone(), stage.FirstWrongZone(), *options.to).c_str(), err);
    }
    return status;
}
