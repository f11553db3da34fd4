// Where a failing call of the platform was made, for the trace channels'
// failure reports: the name of the function that called.
//
// The compilers' __builtin_FUNCTION stands in for std::source_location,
// which clang before 15 cannot provide with the GNU C++ library (and the
// fuzzing build is clang). Used as a default argument, here() names the
// function whose call supplied it, also through a further default argument.
#ifndef VEKHOST_DEBUG_CALL_SITE_H
#define VEKHOST_DEBUG_CALL_SITE_H

namespace vek::debug {

struct CallSite {
    const char *function;

    static constexpr CallSite here(const char *function = __builtin_FUNCTION()) { return CallSite{function}; }
};

}  // namespace vek::debug

#endif
