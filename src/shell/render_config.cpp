#include "shell/render_config.h"

#include <cctype>

RenderConfig renderConfig;

const char* const helpBoxText =
    "Pathetic parameters:\nResolution:\na - 800x600\nb - 1024x768\nc - 1280x1024\n\nw - windowed "
    "mode";

std::vector<std::string> letterTokens(const std::vector<std::string>& arguments) {
    std::string line;
    for (const std::string& argument : arguments) {
        if (!line.empty()) {
            line.push_back(' ');
        }
        line += argument;
    }
    std::vector<std::string> tokens;
    size_t position = 0;
    while (position < line.size()) {
        size_t start = line.find_first_not_of(' ', position);
        if (start == std::string::npos) {
            break;
        }
        size_t end = line.find(' ', start);
        if (end == std::string::npos) {
            end = line.size();
        }
        tokens.push_back(line.substr(start, end - start));
        position = end;
    }
    return tokens;
}

bool applyLetterOptions(const std::vector<std::string>& arguments, RenderConfig& config) {
    for (std::string token : letterTokens(arguments)) {
        for (char& c : token) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        switch (token[0]) {
            case '?':
                return true;
            case 'a':
                config.width = 800;
                config.height = 600;
                break;
            case 'b':
                config.width = 1024;
                config.height = 768;
                break;
            case 'c':
                config.width = 1280;
                config.height = 1024;
                break;
            case 'w':
                config.fullscreen = 0;
                break;
            default:
                break;
        }
    }
    return false;
}
