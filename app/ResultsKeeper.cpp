#include "app/ResultsKeeper.h"

#include "common/Format.h"
#include "common/MessageSink.h"
#include "results/ResultsFileSystem.h"
#include "results/TestArchive.h"
#include "results/TimeStamp.h"
#include "wave/FileSystem.h"

#include <cstring>

namespace vorn {

namespace {
std::string OutputFolderOf(const TestSettings& settings) {
    return JoinPath(std::string(settings.OutputFolder, strnlen(settings.OutputFolder, sizeof settings.OutputFolder)),
                    "Output");
}
}  // namespace

ResultsKeeper::ResultsKeeper(const TestSettings& settings, const std::string& stimulus)
    : settings_(settings), stimulus_(stimulus) {}

std::string ResultsKeeper::JournalPath() const { return JoinPath(OutputFolderOf(settings_), "Results.csv"); }

void ResultsKeeper::Record(const TestOutcome& outcome) {
    if (!settings_.KeepResults) return;
    const std::string output = OutputFolderOf(settings_);
    MakeFolders(output);
    if (!journal_ || journal_->Path() != JournalPath()) journal_.emplace(JournalPath());
    const LocalTime now = NowLocal();
    JournalRow row;
    row.time = IsoTimeText(now);
    row.station = ComputerName();
    row.stimulus = stimulus_;
    row.status = outcome.status;
    row.sealedSpl = outcome.sealedSpl;
    row.openSpl = outcome.openSpl;
    row.corwith = outcome.corwith;
    row.verdict = VerdictText(outcome.verdict);
    row.limitLow = settings_.CorwithLimitLow;
    row.limitHigh = settings_.CorwithLimitHigh;
    row.testDuration = settings_.TestDuration;
    row.spanStart = settings_.SpanStartFreq;
    row.spanStop = settings_.SpanStopFreq;
    row.scaleFactor = settings_.CorwithNumberScaleFactor;
    if (outcome.corwith)
        row.archive = TestArchive::JournalText(
            TestArchive(output, settings_.HistoryKeepWaves).Keep(FolderStamp(now), outcome.spectrum));
    const Journal::Outcome written = journal_->Append(row);
    if (journal_->TakeWarning())
        ShowMessage(ApplicationTitle(),
                    Format(written == Journal::Outcome::Lost ? kJournalLostMessage : kJournalPendingMessage,
                           journal_->Path().c_str(), journal_->PendingPath().c_str()),
                    MessageIcon::Exclamation);
}

}  // namespace vorn
