#include "project/archive_error.h"

namespace {

std::string Describe(ArchiveErrorKind kind, std::size_t offset, const std::string& detail) {
    std::string text = std::string(CKXArchiveError::KindName(kind)) + " at byte " + std::to_string(offset);
    if (!detail.empty()) text += " (" + detail + ")";
    return text;
}

}  // namespace

CKXArchiveError::CKXArchiveError(ArchiveErrorKind kind, std::size_t offset, const std::string& detail)
    : std::runtime_error(Describe(kind, offset, detail)), kind(kind), offset(offset) {}

const char* CKXArchiveError::KindName(ArchiveErrorKind kind) {
    switch (kind) {
        case ArchiveErrorKind::EndOfData:
            return "end of data";
        case ArchiveErrorKind::BadIndex:
            return "bad index";
        case ArchiveErrorKind::BadClass:
            return "bad class";
        case ArchiveErrorKind::BadSchema:
            return "bad schema";
        case ArchiveErrorKind::NestingTooDeep:
            return "records nested too deeply";
    }
    return "malformed stream";
}
