#pragma once

#include <string>

// Writes one PNG showing every picture of the asset list found in dataDir,
// each with its file name, alpha pictures beside their colour picture.
bool writeContactSheet(const std::string& dataDir, const std::string& pngPath, std::string& error);
