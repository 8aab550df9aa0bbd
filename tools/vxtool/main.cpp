// vxtool: inspect, pack and unpack data files.
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "btn_file.h"
#include "corpus_scan.h"
#include "data_file_io.h"
#include "platform/atomic_file.h"
#include "platform/code_page.h"
#include "platform/host_path.h"
#include "plugin_listing.h"
#include "plugins/transition_dll_manager.h"
#include "project/archive_password.h"
#include "project/kx_ttf_info.h"
#include "project/vantorix_project.h"
#include "project_json.h"
#include "run_script.h"
#include "swf_info.h"
#include "truetype_name.h"

namespace {

const char usage[] =
    "Usage: vxtool inspect FILE.cdd [--password PW] [--codepage CP] [--fonts]\n"
    "  or:  vxtool pack PROJECT.json -o FILE.cdd [--font FILE.ttf ...] [--password PW] [--codepage CP]\n"
    "  or:  vxtool unpack FILE.cdd -o PROJECT.json [--password PW] [--codepage CP]\n"
    "  or:  vxtool run-script FILE.lua [--trace] [--project FILE.cdd] [--password PW] [--codepage CP]\n"
    "  or:  vxtool btn MANIFEST.xml -o FILE.btn [PICTURE ...]\n"
    "  or:  vxtool plugins FOLDER\n"
    "  or:  vxtool swfinfo FILE.swf\n"
    "  or:  vxtool scan PATH... [--summary] [--password PW] [--codepage CP]\n"
    "\n"
    "inspect prints a data file's project as JSON; pack builds a data file from such a JSON\n"
    "description (missing keys take their defaults); unpack writes the JSON to a file.\n"
    "run-script runs a Lua file as a project's startup script, printing its dialogs and debug\n"
    "output as JSON lines; its exit status is the script's.\n"
    "btn writes a button file holding the manifest as _manifest.xml and the pictures under\n"
    "their file names.\n"
    "plugins lists the transition plugins (.tns) in a folder and its sub-folders as JSON lines,\n"
    "in the order the player finds them, with each plugin's name or why a file is not one.\n"
    "swfinfo prints a Flash movie's header as JSON: signature, version, length, frame size,\n"
    "frame rate and frame count, and whether the player takes it.\n"
    "scan walks folders (and takes data files) for menus and prints one JSON line per data file:\n"
    "whether it reads, its pages and objects, the media files it names with whether each exists\n"
    "and its format, its fonts, transitions, plugins and skins, scripts that do not compile, and\n"
    "what it needs that this player does not have. --summary prints a table over all of them.\n"
    "Text is UTF-8 in JSON and 8-bit in the data file, in the code page CP (windows-1252).\n";

struct Options {
    std::string command;
    std::vector<std::string> inputs;
    std::string output;
    std::string password = archivePassword;
    std::string codePage = "windows-1252";
    std::vector<std::string> fonts;
    bool showFonts = false;
    bool summary = false;
    bool trace = false;
    std::string project;
};

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

Options ParseOptions(int argc, char** argv) {
    Options options;
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) throw UsageError("no command given");
    options.command = args[0];
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= args.size()) throw UsageError(arg + " needs a value");
            return args[++i];
        };
        if (arg == "-o" || arg == "--output") {
            options.output = value();
        } else if (arg == "--password") {
            options.password = value();
        } else if (arg == "--codepage") {
            options.codePage = value();
        } else if (arg == "--font") {
            options.fonts.push_back(value());
        } else if (arg == "--trace") {
            options.trace = true;
        } else if (arg == "--project") {
            options.project = value();
        } else if (arg == "--fonts") {
            options.showFonts = true;
        } else if (arg == "--summary") {
            options.summary = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            throw UsageError("unknown option " + arg);
        } else {
            options.inputs.push_back(arg);
        }
    }
    if (options.command == "btn" || options.command == "scan") {
        if (options.inputs.empty())
            throw UsageError(options.command == "btn" ? "btn needs a manifest" : "scan needs a folder");
    } else if (options.inputs.size() != 1) {
        throw UsageError(options.command + (options.command == "plugins" ? " takes one folder" : " takes one file"));
    }
    bool needsOutput = options.command == "pack" || options.command == "unpack" || options.command == "btn";
    if (needsOutput && options.output.empty()) throw UsageError(options.command + " needs -o FILE");
    if (!needsOutput && !options.output.empty()) throw UsageError("inspect prints to standard output");
    if (!options.fonts.empty() && options.command != "pack") throw UsageError("--font is for pack");
    if (options.showFonts && options.command != "inspect") throw UsageError("--fonts is for inspect");
    if (options.summary && options.command != "scan") throw UsageError("--summary is for scan");
    bool scriptOption = options.trace || !options.project.empty();
    if (scriptOption && options.command != "run-script") {
        throw UsageError("--trace and --project are for run-script");
    }
    return options;
}

// The names of the player's own transition effects, installed beside this program or built
// beside it in the build tree.
std::set<std::string> OwnTransitionNames() {
    std::error_code error;
    std::string program = std::filesystem::read_symlink("/proc/self/exe", error).string();
    std::string folder = FirstExistingBesideProgram(program, {"../plugins/transitions", VX_TRANSITIONS_FROM_BIN});
    std::set<std::string> names;
    if (folder.empty()) return names;
    CKXTransitionDLLManager effects;
    effects.Scan(folder);
    for (const CKXTransitionDLLInfo& effect : effects.Plugins()) names.insert(effect.name);
    return names;
}

void WriteProjectJsonOf(const Options& options, const CodePage& codePage, std::ostream& out) {
    const std::string& file = options.inputs[0];
    auto project = LoadDataFile(file, options.password, codePage);
    ObjectList fonts;
    if (options.showFonts) fonts = LoadDataFileFonts(file, options.password, codePage);
    WriteProjectJson(out, *project, codePage, options.showFonts ? &fonts : nullptr);
}

RecordRef FontRecord(const std::string& path, const CodePage& codePage) {
    auto font = std::make_shared<CKXTTFInfo>();
    std::string error;
    if (!ReadWholeFile(path, font->fontData, &error)) throw ToolError(error);
    std::string family;
    if (!ReadTrueTypeFamilyName(font->fontData, family)) {
        throw ToolError(path + ": not a TrueType font with a family name");
    }
    if (!codePage.FromUtf8(family, font->faceName)) {
        throw ToolError(path + ": the face name \"" + family + "\" cannot be written in code page " + codePage.Name());
    }
    return font;
}

void Pack(const Options& options, const CodePage& codePage) {
    const std::string& file = options.inputs[0];
    std::vector<std::uint8_t> bytes;
    std::string error;
    if (!ReadWholeFile(file, bytes, &error)) throw ToolError(error);
    JsonDocument document;
    if (!ParseJsonWithLines(std::string(bytes.begin(), bytes.end()), document, &error)) {
        throw ToolError(file + ": bad JSON: " + error);
    }
    std::unique_ptr<CVantorixProject> project;
    try {
        project = ProjectFromJson(document, codePage);
    } catch (const ProjectJsonError& e) {
        throw ToolError(file + ": " + e.what());
    }
    ObjectList fonts;
    for (const std::string& font : options.fonts) fonts.push_back(FontRecord(font, codePage));
    SaveDataFile(options.output, *project, fonts, options.password);
}

int Run(int argc, char** argv) {
    if (argc >= 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h")) {
        std::cout << usage;
        return 0;
    }
    if (argc >= 2 && std::string(argv[1]) == "--version") {
        std::cout << "vxtool " VX_VERSION "\n";
        return 0;
    }
    Options options = ParseOptions(argc, argv);
    std::string error;
    auto codePage = CodePage::Open(options.codePage, &error);
    if (!codePage) throw ToolError(error);
    if (options.command == "inspect") {
        // Written as it is made: a large project never stands whole in memory as text.
        WriteProjectJsonOf(options, *codePage, std::cout);
        std::cout.flush();
    } else if (options.command == "unpack") {
        std::ostringstream text;
        WriteProjectJsonOf(options, *codePage, text);
        if (!WriteFileAtomically(options.output, text.str(), &error)) throw ToolError(error);
    } else if (options.command == "pack") {
        Pack(options, *codePage);
    } else if (options.command == "btn") {
        std::vector<std::string> pictures(options.inputs.begin() + 1, options.inputs.end());
        MakeButtonFile(options.inputs[0], pictures, options.output);
    } else if (options.command == "plugins") {
        std::error_code ignored;
        if (!std::filesystem::is_directory(options.inputs[0], ignored))
            throw ToolError(options.inputs[0] + ": not a folder");
        ListTransitionPlugins(options.inputs[0], std::cout);
    } else if (options.command == "scan") {
        CorpusScanOptions scan{
            options.inputs, {options.password, OwnTransitionNames()}, options.summary, isatty(STDERR_FILENO) == 1};
        return ScanCorpus(scan, *codePage, std::cout, std::cerr);
    } else if (options.command == "swfinfo") {
        PrintSwfInfo(options.inputs[0], std::cout);
    } else if (options.command == "run-script") {
        RunScriptOptions run{options.inputs[0], options.project, options.password, options.trace};
        return RunScript(run, *codePage);
    } else {
        throw UsageError("unknown command " + options.command);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return Run(argc, argv);
    } catch (const UsageError& e) {
        std::cerr << "vxtool: " << e.what() << " (see vxtool --help)\n";
        return 2;
    } catch (const std::exception& e) {
        std::cerr << "vxtool: " << e.what() << "\n";
        return 1;
    }
}
