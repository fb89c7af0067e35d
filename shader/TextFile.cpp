// Reads a whole text file into a string.
#include "shader/TextFile.h"

#include <fstream>
#include <sstream>

bool ReadTextFile(const std::string& path, std::string& text)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    std::ostringstream contents;
    contents << file.rdbuf();
    if (file.bad())
        return false;
    text = contents.str();
    return true;
}
