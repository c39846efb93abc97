// Name_Scope.h - the per-user suffix of every shared block and socket name.
//
// Names are "<block>.<uid>"; with KORND_NAMESPACE set (letters, digits, '_' and '-', at most
// 32) they become "<block>.<uid>.<namespace>", so that independent runs of the servers of one
// user (a test run beside a developer's session) never see each other's instances. Any other
// value is ignored. Read once per process.
#pragma once

#include <string>

namespace platform {

// Returns ".<uid>" or ".<uid>.<namespace>".
const std::string& NAME_SCOPE();

}  // namespace platform
