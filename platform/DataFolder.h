// SPDX-License-Identifier: MIT
// The folder that holds the program's data files (its shaders and images, read relative to the
// working folder): the working folder when it has them all, else the first of the places where a
// built or installed program keeps them near its executable. Free of SDL and GL.
#pragma once

#include <string>
#include <vector>

// The folders to look in, in order: the working folder; the executable's own folder (the build's
// run folder); ../share/merrowind from it (a program in PREFIX/bin) and ../../share/merrowind (a
// program in PREFIX/libexec/merrowind, behind the launcher).
std::vector<std::string> DataFolderCandidates(const std::string& workingFolder, const std::string& executableFolder);

// The first of `candidates` that holds every one of `files` (paths relative to it; a file counts
// when anything by its name is there, so that a damaged one is reported by what reads it). When
// none does, "" and a `report` naming each folder tried and what it lacks.
std::string FindDataFolder(const std::vector<std::string>& candidates, const std::vector<std::string>& files,
                           std::string& report);
