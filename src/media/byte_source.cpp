#include "media/byte_source.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

#include "platform/host_path.h"

namespace {

// Where a seek lands, or -1 outside 0..size.
std::int64_t SeekTarget(std::int64_t position, std::int64_t size, std::int64_t offset, int whence) {
    std::int64_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? position : size;
    if ((offset > 0 && base > INT64_MAX - offset) || base + offset < 0 || base + offset > size) return -1;
    return base + offset;
}

// The position and size both kinds keep.
class PositionedBytes : public CKXByteSource {
public:
    explicit PositionedBytes(std::int64_t size) : size(size) {}
    bool Seek(std::int64_t offset, int whence) override {
        std::int64_t target = SeekTarget(position, size, offset, whence);
        if (target < 0) return false;
        position = target;
        return true;
    }
    std::int64_t Tell() const override { return position; }
    std::int64_t Size() const override { return size; }

protected:
    const std::int64_t size;
    std::int64_t position = 0;
};

class FileBytes : public PositionedBytes {
public:
    FileBytes(int fd, std::int64_t size) : PositionedBytes(size), fd(fd) {}
    ~FileBytes() override { close(fd); }
    std::int64_t Read(void* buffer, std::int64_t count) override {
        std::int64_t done = 0;
        auto* bytes = static_cast<unsigned char*>(buffer);
        while (done < count) {
            ssize_t got = pread(fd, bytes + done, static_cast<std::size_t>(count - done), position + done);
            if (got <= 0) break;  // the end, a read error, or a file that shrank
            done += got;
        }
        position += done;
        return done;
    }

private:
    int fd;
};

class BlockBytes : public PositionedBytes {
public:
    BlockBytes(const unsigned char* data, std::size_t size)
        : PositionedBytes(static_cast<std::int64_t>(size)), data(data) {}
    std::int64_t Read(void* buffer, std::int64_t count) override {
        std::int64_t done = std::max<std::int64_t>(0, std::min(count, size - position));
        if (done > 0) std::memcpy(buffer, data + position, static_cast<std::size_t>(done));
        position += done;
        return done;
    }

private:
    const unsigned char* data;
};

}  // namespace

std::unique_ptr<CKXByteSource> OpenFileBytes(const std::string& path) {
    int fd = OpenRegularFile(path);
    if (fd < 0) return nullptr;
    struct stat status {};
    if (fstat(fd, &status) != 0) {
        close(fd);
        return nullptr;
    }
    return std::make_unique<FileBytes>(fd, static_cast<std::int64_t>(status.st_size));
}

std::unique_ptr<CKXByteSource> MemoryBytes(const unsigned char* data, std::size_t size) {
    return std::make_unique<BlockBytes>(data, size);
}
