// vektool: the asset tool of vekkit. Makes and reads the files a program
// built on the library ships (object files of sprite images, raster fonts,
// compressed bitmap resources) through the library's own calls.
//
// Exit status: 0 done, 1 failed (a message "vektool: FILE: reason" on
// standard error for each failure), 2 bad usage.
#include "commands.h"
#include "failure.h"
#include "temporary_file.h"

#include <CLI/CLI.hpp>

#include <cstdio>

int main(int argc, char **argv)
{
    using namespace vektool;
    removeTemporariesOnSignals();

    CLI::App app{"vektool: makes and reads the asset files of programs built on vekkit"};
    app.name("vektool");
    app.require_subcommand(1);
    app.fallthrough(false);
    addInfoCommand(app);
    addSpriteCommand(app);
    addExtractCommand(app);
    addRenderCommand(app);
    addPackCommands(app);
    addLzssCommand(app);
    addFontCommand(app);
    addTextCommand(app);
    addResCommand(app);
    addPlayCommand(app);

    try {
        app.parse(argc, argv);
    } catch (const CLI::Success &done) {
        return app.exit(done);
    } catch (const CLI::ParseError &error) {
        std::fprintf(stderr, "vektool: %s\nRun 'vektool --help' or 'vektool COMMAND --help' for usage.\n",
                     error.what());
        return 2;
    } catch (const UsageError &error) {
        std::fprintf(stderr, "vektool: %s\n", error.what());
        return 2;
    } catch (const Failure &failure) {
        std::fprintf(stderr, "vektool: %s: %s\n", failure.file().c_str(), failure.what());
        return 1;
    } catch (const AlreadyReported &) {
        return 1;
    } catch (const std::bad_alloc &) {
        std::fprintf(stderr, "vektool: out of memory\n");
        return 1;
    }
    return 0;
}
