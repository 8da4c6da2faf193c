// The pages of a test job: grey pictures (PGM, binary "P5") or the pages of a
// PDF, rendered at the printer's width by pdftoppm; a dot prints where the
// grey is below mid grey.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kit::plugin::render_host {

struct GreyPage {
  int width = 0, height = 0;
  std::vector<std::uint8_t> grey;  // top-down rows, 0 black .. 255 white
};

std::optional<GreyPage> ReadPgm(const std::string& path);
// Every page of `path`: a PGM is one page; a PDF is rendered `width_dots`
// wide into `work_folder` first. Empty when nothing could be read.
std::vector<GreyPage> ReadPages(const std::string& path, int width_dots, const std::string& work_folder);

// Runs a program with this argument list (argv[0] looked up on PATH), no
// shell between: a file name is never read as a command. True when it ran
// and ended 0. The Windows build runs no program (it prints PGM pages only).
bool RunProgram(const std::vector<std::string>& argv);

}  // namespace kit::plugin::render_host
