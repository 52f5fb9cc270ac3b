#include "CollectingSink.h"

namespace vorn::cli {

CollectingSink::CollectingSink() : previous(&Messages()) { SetMessageSink(this); }

CollectingSink::~CollectingSink() { SetMessageSink(previous); }

MessageAnswer CollectingSink::Show(const std::string&, const std::string& text, MessageIcon, MessageButtons buttons) {
    texts += (texts.empty() ? "" : "; ") + text;
    return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
}

}  // namespace vorn::cli
