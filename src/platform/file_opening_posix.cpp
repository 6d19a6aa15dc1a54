#include "platform/file_opening.h"

std::FILE* openFileForWriting(const std::string& path) {
    return std::fopen(path.c_str(), "wb");
}
