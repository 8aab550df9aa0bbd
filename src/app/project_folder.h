#pragma once

#include <string>

// The executable path a project given on the command line is seen to run from, which the
// data-file search starts from; or why no menu could be chosen.
struct ProjectChoice {
    std::string executable;
    std::string error;  // set when a folder holds no menu, or several
};

// A data file: the .exe beside it of the same name, or the data file itself when there is none.
// A folder, such as a disc's: the program its autorun.inf opens when that program's data file is
// there, else its one menu (an .exe with its data file, or a data file alone, in the folder or
// its "Vantorix" sub-folder). Anything else: the path itself.
ProjectChoice ChooseProjectExecutable(const std::string& project);
