#include "common/MessageSink.h"

#include <cstdio>

namespace vorn {

namespace {
StderrMessageSink g_stderrSink;
MessageSink* g_sink = &g_stderrSink;
std::string g_title = "VORN";
}  // namespace

MessageAnswer StderrMessageSink::Show(const std::string& caption, const std::string& text,
                                      MessageIcon, MessageButtons buttons) {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
}

MessageSink& Messages() { return *g_sink; }

void SetMessageSink(MessageSink* sink) { g_sink = sink ? sink : &g_stderrSink; }

void ShowMessage(const std::string& caption, const std::string& text, MessageIcon icon) {
    Messages().Show(caption, text, icon, MessageButtons::Ok);
}

const std::string& ApplicationTitle() { return g_title; }

void SetApplicationTitle(const std::string& title) { g_title = title; }

}  // namespace vorn
