#include "actions/action_tables.h"

#include "actions/application_actions.h"
#include "actions/audio_actions.h"
#include "actions/file_actions.h"
#include "actions/flash_actions.h"
#include "actions/page_actions.h"
#include "actions/paragraph_actions.h"
#include "actions/string_actions.h"
#include "actions/system_actions.h"
#include "actions/video_actions.h"
#include "script/debug_actions.h"

std::vector<ActionTable> ActionTables() {
    return {
        {"Application", ApplicationActionFunctions()},
        {"Audio", AudioActionFunctions()},
        {"Button", ButtonActionFunctions()},
        {"Debug", DebugActionFunctions()},
        {"Dialog", DialogActionFunctions()},
        {"DLL", nullptr},
        {"Drive", nullptr},
        {"File", FileActionFunctions()},
        {"Flash", FlashActionFunctions()},
        {"Folder", nullptr},
        {"HTTP", nullptr},
        {"Hotspot", nullptr},
        {"Image", ImageActionFunctions()},
        {"INIFile", IniFileActionFunctions()},
        {"Input", nullptr},
        {"Label", LabelActionFunctions()},
        {"ListBox", nullptr},
        {"Math", nullptr},
        {"Paragraph", ParagraphActionFunctions()},
        {"Page", PageActionFunctions()},
        {"Plugin", nullptr},
        {"Registry", RegistryActionFunctions()},
        {"Shell", ShellActionFunctions()},
        {"StatusDlg", nullptr},
        {"String", StringActionFunctions()},
        {"System", SystemActionFunctions()},
        {"Table", TableActionFunctions()},
        {"TextFile", TextFileActionFunctions()},
        {"Video", VideoActionFunctions()},
        {"Web", nullptr},
        {"Window", nullptr},
        {"Zip", nullptr},
    };
}
