#include "shared_options.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <filesystem>

namespace vektool {

std::optional<Layout> LayoutFlags::layout() const
{
    if (bare) return Layout::Bare;
    if (header) return Layout::Header;
    return std::nullopt;
}

void addLayoutFlags(CLI::App &command, LayoutFlags &flags)
{
    auto *bare = command.add_flag("--bare", flags.bare, "read the object file as bare objects");
    command.add_flag("--header", flags.header, "read the object file as objects with headers")->excludes(bare);
}

std::string objectName(const std::string &stem, size_t index, size_t count, const std::string &extension)
{
    const std::string digits = std::to_string(index);
    const size_t width = std::max<size_t>(3, std::to_string(count ? count - 1 : 0).size());
    return stem + "-" + std::string(width - std::min(width, digits.size()), '0') + digits + extension;
}

std::string stemOf(const std::string &path)
{
    return path == "-" ? "stdin" : std::filesystem::path(path).stem().string();
}

}  // namespace vektool
