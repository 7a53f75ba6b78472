// What --version prints, the same way in every program.
#pragma once

#include <string>

// The project's version ("1.0.0") and the commit it was built from ("" when
// not built from a git clone); both made at build time.
extern const char* const PROJECT_VERSION;
extern const char* const PROJECT_COMMIT;

// "skarvelin-render 1.0.0 (commit 149b166e2a1b)", without the commit when
// there is none.
std::string versionLine(const char* program);
