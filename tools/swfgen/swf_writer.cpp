#include "swf_writer.h"

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace {

constexpr int twipsPerPixel = 20;
// A rectangle's field count has five bits, so its fields hold at most 31 signed bits.
constexpr std::int64_t maxTwips = (std::int64_t{1} << 30) - 1;
constexpr std::int64_t minTwips = -(std::int64_t{1} << 30);
// A straight edge's delta holds at most 17 signed bits; longer sides take several edges.
constexpr int maxEdgeTwips = (1 << 16) - 1;

enum TagCode {
    tagEnd = 0,
    tagShowFrame = 1,
    tagDefineShape = 2,
    tagSetBackgroundColor = 9,
    tagDoAction = 12,
    tagPlaceObject2 = 26,
    tagFileAttributes = 69,
};

enum ActionCode : std::uint8_t {
    actionEnd = 0x00,
    actionStop = 0x07,
    actionGetUrl = 0x83,
    actionJump = 0x99,
};

void PutU16(std::vector<std::uint8_t>& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>(value >> 8 & 0xFF));
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    PutU16(out, value & 0xFFFF);
    PutU16(out, value >> 16);
}

// Writes bits most significant first, as the format packs its rectangles and shape records.
class BitWriter {
public:
    explicit BitWriter(std::vector<std::uint8_t>& out) : out(out) {}
    ~BitWriter() { Flush(); }

    void Unsigned(std::uint32_t value, int count) {
        for (int i = count - 1; i >= 0; --i) {
            accumulator = static_cast<std::uint8_t>(accumulator << 1 | ((value >> i) & 1u));
            if (++held == 8) {
                out.push_back(accumulator);
                accumulator = 0;
                held = 0;
            }
        }
    }
    // Two's complement, cut to count bits.
    void Signed(std::int64_t value, int count) { Unsigned(static_cast<std::uint32_t>(value), count); }
    // Pads the last byte with zero bits: whatever follows starts on a byte.
    void Flush() {
        if (held) Unsigned(0, 8 - held);
    }

private:
    std::vector<std::uint8_t>& out;
    std::uint8_t accumulator = 0;
    int held = 0;
};

// The fewest bits that hold value as a signed field.
int SignedBits(std::int64_t value) {
    std::uint64_t magnitude = static_cast<std::uint64_t>(value < 0 ? ~value : value);
    int bits = 1;
    for (; magnitude; magnitude >>= 1) ++bits;
    return bits;
}

// A rectangle with the field width the values need, as authoring tools write it: none for an
// empty rectangle.
void PutRect(std::vector<std::uint8_t>& out, std::int64_t xMin, std::int64_t xMax, std::int64_t yMin,
             std::int64_t yMax) {
    int bits = 0;
    for (std::int64_t value : {xMin, xMax, yMin, yMax}) {
        if (value != 0) bits = std::max(bits, SignedBits(value));
    }
    BitWriter writer(out);
    writer.Unsigned(static_cast<std::uint32_t>(bits), 5);
    for (std::int64_t value : {xMin, xMax, yMin, yMax}) writer.Signed(value, bits);
}

std::int64_t Twips(std::int64_t pixels, const char* what) {
    std::int64_t twips = pixels * twipsPerPixel;
    if (twips < minTwips || twips > maxTwips) throw std::invalid_argument(std::string(what) + " out of range");
    return twips;
}

// A horizontal or vertical side, split where it is longer than one edge holds.
void PutEdges(BitWriter& bits, std::int64_t delta, bool vertical) {
    while (delta != 0) {
        std::int64_t step = std::clamp<std::int64_t>(delta, -maxEdgeTwips, maxEdgeTwips);
        int count = std::max(2, SignedBits(step));
        bits.Unsigned(0b11, 2);  // an edge record, straight
        bits.Unsigned(static_cast<std::uint32_t>(count - 2), 4);
        bits.Unsigned(0, 1);  // not a general line: only one delta follows
        bits.Unsigned(vertical ? 1 : 0, 1);
        bits.Signed(step, count);
        delta -= step;
    }
}

void PutString(std::vector<std::uint8_t>& out, const std::string& text) {
    if (text.find('\0') != std::string::npos) throw std::invalid_argument("a string holds a NUL character");
    out.insert(out.end(), text.begin(), text.end());
    out.push_back(0);
}

void PutAction(std::vector<std::uint8_t>& out, std::uint8_t code, const std::vector<std::uint8_t>& payload) {
    out.push_back(code);
    if (code < 0x80) return;  // the short actions carry no length
    if (payload.size() > 0xFFFF) throw std::invalid_argument("an action longer than 65535 bytes");
    PutU16(out, static_cast<std::uint32_t>(payload.size()));
    out.insert(out.end(), payload.begin(), payload.end());
}

}  // namespace

SwfWriter::SwfWriter(const Options& options) : options(options) {
    if (options.width < 0 || options.height < 0) throw std::invalid_argument("a negative frame size");
    Twips(options.width, "the frame width");
    Twips(options.height, "the frame height");
    if (!(options.frameRate >= 0) || std::lround(options.frameRate * 256) > 0xFFFF) {
        throw std::invalid_argument("the frame rate is not between 0 and 256");
    }
    rateTimes256 = static_cast<int>(std::lround(options.frameRate * 256));
    if (options.version < 1 || options.version > 255) throw std::invalid_argument("the format version is not 1 to 255");
    // Format 8 movies open with their attributes: none set, so the movie is ActionScript 1/2 and
    // reads local files rather than the network.
    if (options.version >= 8) AddTag(tagFileAttributes, {0, 0, 0, 0});
}

void SwfWriter::SetBackgroundColor(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    AddTag(tagSetBackgroundColor, {r, g, b});
}

void SwfWriter::AddRectangle(int x, int y, int width, int height, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    if (width <= 0 || height <= 0) throw std::invalid_argument("a rectangle needs a positive width and height");
    if (nextCharacterId > 0xFFFF || nextDepth > 0xFFFF) throw std::invalid_argument("too many rectangles");
    std::int64_t left = Twips(x, "a rectangle's corner"), top = Twips(y, "a rectangle's corner");
    std::int64_t right = Twips(std::int64_t{x} + width, "a rectangle's corner");
    std::int64_t bottom = Twips(std::int64_t{y} + height, "a rectangle's corner");
    int id = nextCharacterId++;

    std::vector<std::uint8_t> shape;
    PutU16(shape, static_cast<std::uint32_t>(id));
    PutRect(shape, left, right, top, bottom);
    shape.insert(shape.end(), {1, 0x00, r, g, b});  // one fill style: solid, in this colour
    shape.push_back(0);                             // no line styles
    {
        BitWriter bits(shape);
        bits.Unsigned(1, 4);  // bits of a fill style index
        bits.Unsigned(0, 4);  // bits of a line style index
        // Move to the top left corner and fill to the right of the sides, which run clockwise on
        // screen: right, down, left, up.
        bits.Unsigned(0b000101, 6);
        int moveBits = std::max(SignedBits(left), SignedBits(top));
        bits.Unsigned(static_cast<std::uint32_t>(moveBits), 5);
        bits.Signed(left, moveBits);
        bits.Signed(top, moveBits);
        bits.Unsigned(1, 1);
        PutEdges(bits, right - left, false);
        PutEdges(bits, bottom - top, true);
        PutEdges(bits, left - right, false);
        PutEdges(bits, top - bottom, true);
        bits.Unsigned(0, 6);  // end of the shape
    }
    AddTag(tagDefineShape, shape);

    std::vector<std::uint8_t> place;
    place.push_back(0x06);  // a new character, with a matrix
    PutU16(place, static_cast<std::uint32_t>(nextDepth++));
    PutU16(place, static_cast<std::uint32_t>(id));
    place.push_back(0x00);  // the identity matrix: no scale, no rotation, no translation bits
    AddTag(tagPlaceObject2, place);
}

void SwfWriter::FsCommand(const std::string& command, const std::string& args) {
    // The player hands "FSCommand:" requests to its host instead of loading them.
    GetUrlAction("FSCommand:" + command, args);
}

void SwfWriter::GetUrlAction(const std::string& url, const std::string& target) {
    std::vector<std::uint8_t> payload;
    PutString(payload, url);
    PutString(payload, target);
    std::vector<std::uint8_t> actions;
    PutAction(actions, actionGetUrl, payload);
    AddActions(actions);
}

void SwfWriter::StopAction() {
    std::vector<std::uint8_t> actions;
    PutAction(actions, actionStop, {});
    AddActions(actions);
}

void SwfWriter::LoopForeverAction() {
    // A jump counts from the end of its own record: back over its 5 bytes lands on itself.
    std::vector<std::uint8_t> actions;
    PutAction(actions, actionJump, {0xFB, 0xFF});
    AddActions(actions);
}

void SwfWriter::ShowFrame() {
    if (frameCount == 0xFFFF) throw std::invalid_argument("more than 65535 frames");
    AddTag(tagShowFrame, {});
    ++frameCount;
}

std::vector<std::uint8_t> SwfWriter::Bytes() const {
    std::vector<std::uint8_t> body;
    PutRect(body, 0, std::int64_t{options.width} * twipsPerPixel, 0, std::int64_t{options.height} * twipsPerPixel);
    PutU16(body, static_cast<std::uint32_t>(rateTimes256));
    PutU16(body, static_cast<std::uint32_t>(frameCount));
    body.insert(body.end(), tags.begin(), tags.end());
    PutU16(body, tagEnd << 6);

    // The header's length is that of the uncompressed movie, the 8 header bytes included.
    constexpr std::size_t headerBytes = 8;
    if (body.size() > std::numeric_limits<std::uint32_t>::max() - headerBytes) {
        throw std::invalid_argument("a movie longer than 4 GB");
    }
    std::vector<std::uint8_t> movie = {static_cast<std::uint8_t>(options.compressed ? 'C' : 'F'), 'W', 'S',
                                       static_cast<std::uint8_t>(options.version)};
    PutU32(movie, static_cast<std::uint32_t>(headerBytes + body.size()));
    if (!options.compressed) {
        movie.insert(movie.end(), body.begin(), body.end());
        return movie;
    }
    uLongf packedSize = compressBound(static_cast<uLong>(body.size()));
    movie.resize(headerBytes + packedSize);
    if (compress2(movie.data() + headerBytes, &packedSize, body.data(), static_cast<uLong>(body.size()),
                  Z_BEST_COMPRESSION) != Z_OK) {
        throw std::runtime_error("zlib could not compress the movie");
    }
    movie.resize(headerBytes + packedSize);
    return movie;
}

void SwfWriter::AddTag(int code, const std::vector<std::uint8_t>& body) {
    // Six bits of length fit in the tag code's word; 63 and more take the long form.
    if (body.size() < 0x3F) {
        PutU16(tags, static_cast<std::uint32_t>(code << 6) | static_cast<std::uint32_t>(body.size()));
    } else {
        if (body.size() > std::numeric_limits<std::uint32_t>::max()) throw std::invalid_argument("a tag too long");
        PutU16(tags, static_cast<std::uint32_t>(code << 6 | 0x3F));
        PutU32(tags, static_cast<std::uint32_t>(body.size()));
    }
    tags.insert(tags.end(), body.begin(), body.end());
}

void SwfWriter::AddActions(const std::vector<std::uint8_t>& actions) {
    std::vector<std::uint8_t> body = actions;
    body.push_back(actionEnd);
    AddTag(tagDoAction, body);
}
