// skarvelin-render: reads the options and renders the programme as they ask.
#include "options.h"
#include "renderer.h"

#include "command_line/version.h"
#include "output/whole_file.h"
#include "shell/heap.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    keepFreedMemoryForReuse();
    if (argc == 2) {
        const std::string document = renderBuildDocument(argv[1]);
        if (!document.empty()) return std::fputs(document.c_str(), stdout) < 0;
    }
    // Ctrl-C, kill or a closed terminal leave no unfinished frame or video.
    removeTemporaryFilesOnSignals();
    RenderOptions options;
    std::string error;
    if (!parseOptions(argc, argv, &options, &error)) {
        std::fprintf(stderr, "skarvelin-render: %s\nTry 'skarvelin-render --help'.\n", error.c_str());
        return EXIT_USAGE;
    }
    if (options.help) {
        std::fputs(renderUsage().c_str(), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("%s\n", versionLine("skarvelin-render").c_str());
        return 0;
    }
    return renderProgramme(options);
}
