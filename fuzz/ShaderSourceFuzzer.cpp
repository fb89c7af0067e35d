// SPDX-License-Identifier: MIT
// Feeds arbitrary bytes to the runtime's program loading path, on a real offscreen context: the
// bytes are written to a program file, loaded and compiled for the profile that the first byte
// picks, and also parsed as if a driver had written them as its compiler log. A program must
// come back with no error, or null with the compiler error and a bounded listing whose every line
// names the file; no GL error, no out-of-bounds access, no leak, no report from inside the driver.
#include "shader/Cg.h"
#include "shader/CgGL.h"
#include "shader/CompilerListing.h"

#include <SDL.h>
#include <epoxy/gl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

namespace
{
std::string programFile;

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

void WriteProgramFile(const std::uint8_t* data, std::size_t size)
{
    FILE* file = std::fopen(programFile.c_str(), "wb");
    Require(file != nullptr);
    Require(std::fwrite(data, 1, size, file) == size);
    std::fclose(file);
}

// Room for the line number, its brackets and the mark of a shortened message.
constexpr std::size_t ListingLineExtra = 32;

void RequireABoundedListingNamingTheFile(const std::string& listing)
{
    std::istringstream lines(listing);
    std::string line;
    std::size_t count = 0;
    while (std::getline(lines, line))
    {
        Require(line.rfind(programFile + "(", 0) == 0 || line.rfind(programFile + ":", 0) == 0);
        Require(line.size() <= programFile.size() + MaxMessageLength + ListingLineExtra);
        Require(++count <= MaxListingLines);
    }
}

void LoadProgram(CGprofile profile)
{
    CGcontext context = cgCreateContext();
    CGprogram program = cgCreateProgramFromFile(context, CG_SOURCE, programFile.c_str(), profile, "main", nullptr);
    const CGerror error = cgGetError();
    if (program != nullptr)
    {
        Require(error == CG_NO_ERROR);
        cgGLLoadProgram(program);
    }
    else
    {
        Require(error == CG_COMPILER_ERROR);
        const std::string listing = cgGetLastListing(context);
        Require(!listing.empty());
        RequireABoundedListingNamingTheFile(listing);
    }
    cgDestroyContext(context);
    Require(glGetError() == GL_NO_ERROR);
}
}

// The sanitizers read the same suppressions for the driver as the test suite does.
extern "C" const char* __asan_default_options()
{
    return "suppressions=" MERROWIND_SUPPRESSIONS "/asan.supp";
}

extern "C" const char* __lsan_default_options()
{
    return "suppressions=" MERROWIND_SUPPRESSIONS "/lsan.supp:print_suppressions=0";
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    Require(SDL_Init(SDL_INIT_VIDEO) == 0);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_Window* window = SDL_CreateWindow("shader fuzzer", 0, 0, 64, 64, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    Require(window != nullptr && SDL_GL_CreateContext(window) != nullptr);
    programFile = "/tmp/merrowind-shader-fuzz-" + std::to_string(getpid()) + ".cg";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    WriteProgramFile(data, size);
    LoadProgram(size > 0 && (data[0] & 1) != 0 ? CG_PROFILE_ARBFP1 : CG_PROFILE_ARBVP1);
    RequireABoundedListingNamingTheFile(
        ListCompilerLog(programFile, std::string(reinterpret_cast<const char*>(data), size)));
    return 0;
}
