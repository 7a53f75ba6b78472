# Writes the version source: the project's version, and the commit when the
# sources are a git clone (with "modified" when they differ from it). Run at
# every build; the file changes, and the programs are linked again, only
# when the text does.
#   -DSOURCE_DIR=... -DVERSION=... -DOUTPUT=...
set(commit "")
find_package(Git QUIET)
if(GIT_FOUND)
  execute_process(COMMAND "${GIT_EXECUTABLE}" -C "${SOURCE_DIR}" rev-parse --show-toplevel
    OUTPUT_VARIABLE top OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE status ERROR_QUIET)
  # Only the project's own clone counts, not one the sources happen to sit in.
  if(status EQUAL 0 AND EXISTS "${top}/src/shell/main.cpp" AND EXISTS "${top}/tools/render/main.cpp")
    get_filename_component(top "${top}" REALPATH)
    get_filename_component(source "${SOURCE_DIR}" REALPATH)
    if(top STREQUAL source)
      execute_process(COMMAND "${GIT_EXECUTABLE}" -C "${SOURCE_DIR}" rev-parse --short=12 HEAD
        OUTPUT_VARIABLE commit OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
      execute_process(COMMAND "${GIT_EXECUTABLE}" -C "${SOURCE_DIR}" diff --quiet HEAD --
        RESULT_VARIABLE changed ERROR_QUIET)
      if(commit AND NOT changed EQUAL 0)
        set(commit "${commit}, modified")
      endif()
    endif()
  endif()
endif()
set(text "// Made by cmake/version.cmake at build time.\n#include \"command_line/version.h\"\n\nconst char* const PROJECT_VERSION = \"${VERSION}\";\nconst char* const PROJECT_COMMIT = \"${commit}\";\n")
if(EXISTS "${OUTPUT}")
  file(READ "${OUTPUT}" old)
endif()
if(NOT old STREQUAL text)
  file(WRITE "${OUTPUT}" "${text}")
endif()
