// std::regex for the tests. GCC 12 finds, in the optimised sanitizer build,
// that std::function members of std::regex's automaton "may be used
// uninitialized": a false positive from inside the standard library's
// headers, which a pragma around their include cannot reach (<functional>
// comes in earlier, with gtest). So the warning is off, for GCC only, from
// here to the end of the file that includes this first, before any header.
#pragma once

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

#include <regex>
