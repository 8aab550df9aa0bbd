#include "swf_info.h"

#include <nlohmann/json.hpp>

#include "data_file_io.h"
#include "platform/host_path.h"
#include "resources/kx_flash_file_info.h"

void PrintSwfInfo(const std::string& path, std::ostream& out) {
    if (!IsRegularFile(path)) throw ToolError(path + ": no such file");
    CKXFlashFileInfo info;
    bool valid = info.Open(path);
    std::string signature(info.signature.data(), info.signature.size());
    if (signature != "FWS" && signature != "CWS") throw ToolError(path + ": not a Flash movie");
    if (signature == "CWS" && info.headerBitCount == 0) {
        throw ToolError(path + ": the compressed movie does not inflate");
    }
    nlohmann::ordered_json json = {{"file", path},
                                   {"signature", signature},
                                   {"version", info.swfVersion},
                                   {"length", info.fileLength},
                                   {"valid", valid}};
    CKXFlashFileInfo::FrameRect rect;
    int rate = 0, frames = 0;
    if (info.ReadMovieFrames(rect, rate, frames)) {
        json["width"] = (static_cast<long long>(rect.xMax) - rect.xMin) / 20;
        json["height"] = (static_cast<long long>(rect.yMax) - rect.yMin) / 20;
        json["frameRate"] = rate / 256.0;
        json["frameCount"] = frames;
    }
    out << json.dump() << "\n";
}
