#include "app/chosen_project.h"

#include "app/data_file_search.h"
#include "app/project_folder.h"
#include "app/px_runtime_app.h"
#include "project/archive_password.h"

ChosenProject OpenChosenProject(const PlayerOptions& options) {
    ChosenProject chosen;
    chosen.codePage = CodePage::Open(options.codePage, nullptr);
    if (!chosen.codePage) chosen.codePage = CodePage::Open("windows-1252", nullptr);
    chosen.password = options.password.empty() ? archivePassword : options.password;
    ProjectChoice choice =
        options.project.empty() ? ProjectChoice{options.playerPath, ""} : ChooseProjectExecutable(options.project);
    if (!choice.error.empty()) {
        chosen.error = choice.error;
        return chosen;
    }
    chosen.executable = choice.executable;
    chosen.dataFile = FindDataFile(chosen.executable).dataFilePath;
    if (chosen.dataFile.empty()) chosen.error = dataFileNotFoundMessage;
    return chosen;
}
