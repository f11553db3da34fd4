// The subcommands of vektool. Each adds itself, its options and its work to
// the command line; the work throws Failure (exit status 1) or UsageError
// (exit status 2) when it cannot be done.
#pragma once

namespace CLI {
class App;
}

namespace vektool {

void addInfoCommand(CLI::App &app);
void addSpriteCommand(CLI::App &app);
void addExtractCommand(CLI::App &app);
void addRenderCommand(CLI::App &app);
void addPackCommands(CLI::App &app);
void addLzssCommand(CLI::App &app);
void addFontCommand(CLI::App &app);
void addTextCommand(CLI::App &app);
void addResCommand(CLI::App &app);
void addPlayCommand(CLI::App &app);

// The failures are reported already, one message each: exit status 1.
struct AlreadyReported {};

}  // namespace vektool
