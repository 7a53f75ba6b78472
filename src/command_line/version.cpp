#include "command_line/version.h"

std::string versionLine(const char* program)
{
    std::string line = std::string(program) + " " + PROJECT_VERSION;
    if (*PROJECT_COMMIT) line += std::string(" (commit ") + PROJECT_COMMIT + ")";
    return line;
}
