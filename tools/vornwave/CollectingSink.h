// Collects what the wave and signal-processing classes would have shown the operator in
// message boxes, for the whole life of the object, so the tool can print it as the line of
// the file (or the usage error) it belongs to, in plain words. Questions are answered No.
// The collecting is per thread: the jobs of a batch run side by side, each with a sink of
// its own, behind one process-wide sink that hands every message to its thread's collector.
#pragma once

#include "common/MessageSink.h"

#include <string>

namespace vorn::cli {

// A text the program's dialogs show, as the command line says it.
std::string PlainText(const std::string& text);

class CollectingSink final : public MessageSink {
public:
    CollectingSink();
    ~CollectingSink() override;
    CollectingSink(const CollectingSink&) = delete;
    CollectingSink& operator=(const CollectingSink&) = delete;

    MessageAnswer Show(const std::string& caption, const std::string& text, MessageIcon icon,
                       MessageButtons buttons) override;

    // The texts shown so far, in order, separated by "; ".
    const std::string& Texts() const { return texts; }

private:
    CollectingSink* previous;
    std::string texts;
};

}  // namespace vorn::cli
