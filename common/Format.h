// printf-style formatting into a std::string as long as the text needs, for the places
// that build a message, a reply or a value's text from numbers and names.
#pragma once

#include <string>

namespace vorn {

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace vorn
