#include "CollectingSink.h"

#include "dsp/SpectralData.h"
#include "wave/WaveFile.h"

#include <cstring>
#include <utility>

namespace vorn::cli {

namespace {

thread_local CollectingSink* collector = nullptr;  // this thread's innermost live sink

// Installed once, by the first collector, before any batch starts its threads (the sink
// pointer itself is not meant to change under running threads); a thread without a
// collector goes on to the sink that was there before.
class ThreadRouter final : public MessageSink {
public:
    explicit ThreadRouter(MessageSink& fallback) : fallback(fallback) {}
    MessageAnswer Show(const std::string& caption, const std::string& text, MessageIcon icon,
                       MessageButtons buttons) override {
        return collector ? collector->Show(caption, text, icon, buttons) : fallback.Show(caption, text, icon, buttons);
    }

private:
    MessageSink& fallback;
};

void RouteByThread() {
    static ThreadRouter router(Messages());
    static const bool installed = (SetMessageSink(&router), true);
    (void)installed;
}

// The wave and table classes' texts are kept word for word for the program's operators;
// on the command line they are said plainly. The probe tool's texts are plain already and
// stay as its dialog shows them. A text that starts with a pattern's part before "%s" matches.
const std::pair<const char*, const char*> kPlain[] = {
    {TWaveFile::kNoDataChunk, "no data chunk"},
    {TWaveFile::kNoSampleMemory, "not enough memory for the samples"},
    {TWaveFile::kCloseFailed, "closing the file failed"},
    {TWaveFile::kDeleteFailed, "a temporary file could not be removed"},
    {TWaveFile::kCalibrationChunkFailed, "writing the calibration chunk failed"},
    {TWaveFile::kCalibrationWriteFailed, "writing the calibration chunk failed"},
    {TWaveFile::kCopyFailed, "copying the file to a temporary file failed"},
    {SpectralData::kTooFewEntriesText, "the table has too few rows"},
    {SpectralData::kNotAscendingText, "the table's frequencies do not rise from row to row"},
    {SpectralData::kOpenTableFailedText, "the table file cannot be opened"},
    {SpectralData::kNoTableMemoryText, "not enough memory for the table"},
    {SpectralData::kNoWorkMemoryText, "not enough memory"},
};

}  // namespace

CollectingSink::CollectingSink() : previous(collector) {
    RouteByThread();
    collector = this;
}

CollectingSink::~CollectingSink() { collector = previous; }

std::string PlainText(const std::string& text) {
    for (const auto& [shown, plain] : kPlain) {
        const char* cut = std::strstr(shown, "%s");
        const size_t n = cut ? size_t(cut - shown) : std::strlen(shown);
        if (text.compare(0, n, shown, n) == 0 && (cut || text.size() == n)) return plain;
    }
    return text;
}

MessageAnswer CollectingSink::Show(const std::string&, const std::string& text, MessageIcon, MessageButtons buttons) {
    texts += (texts.empty() ? "" : "; ") + PlainText(text);
    return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
}

}  // namespace vorn::cli
