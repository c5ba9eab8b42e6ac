#pragma once
// The pages as files: what the pages held before a module ran, and the
// pages it printed or drew on saved into a folder (text-K.txt, K = 0 for
// the menu page, and graphic-K with each picture extension asked for).
#include <array>
#include <string>
#include <vector>

#include "app/output.h"

struct PageSnapshot {
  std::string menu;
  std::array<std::string, kPages> text;
  std::array<unsigned, kPages> graphicChoices{};
};

PageSnapshot TakePageSnapshot();

// mkdir -p: every missing folder of the path. False when it is no folder afterwards.
bool MakeFolders(const std::string& path);

// Writes the text to a temporary name beside the path, then renames it
// over the path: the file is whole or as it was.
bool SaveText(const std::string& path, const std::string& text);

// The pages changed since `before`, into `dir` (created when missing);
// every file written is added to `written`. False when one could not be written.
bool SaveChangedPages(const std::string& dir, const PageSnapshot& before, const std::vector<std::string>& pictureExtensions,
                      std::vector<std::string>& written);

// "Julian-Date" for "17- Julian Date": the letters and digits of the
// label, every other run of characters one '-' between them.
std::string LabelForFileName(const std::string& label);
