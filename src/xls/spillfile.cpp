#include "spillfile.h"

#include <cerrno>
#include <vector>

#include "xlserror.h"

namespace xls {

namespace {
constexpr std::size_t kPiece = 1 << 20;
}

SpillFile::SpillFile() : file_(std::tmpfile()) {
    if (!file_)
        fail();
}

SpillFile::~SpillFile() {
    if (file_)
        std::fclose(file_);
}

void SpillFile::fail() {
    const int error = errno;
    throw xls::Error(QStringLiteral("The export could not write its temporary file: %1")
                         .arg(systemError(error)));
}

void SpillFile::append(std::string_view bytes) {
    if (reading_) {
        if (std::fseek(file_, 0, SEEK_END) != 0)
            fail();
        reading_ = false;
    }
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size())
        fail();
    size_ += bytes.size();
}

void SpillFile::read(std::uint64_t begin, std::uint64_t end,
                     const std::function<void(std::string_view)>& piece) {
    // Whatever the stream still buffers must reach the file before it is read.
    if (std::fflush(file_) != 0 || std::fseek(file_, long(begin), SEEK_SET) != 0)
        fail();
    reading_ = true;
    std::vector<char> buffer(kPiece);
    for (std::uint64_t at = begin; at < end;) {
        const std::size_t want = std::size_t(std::min<std::uint64_t>(kPiece, end - at));
        if (std::fread(buffer.data(), 1, want, file_) != want)
            fail();
        piece({buffer.data(), want});
        at += want;
    }
}

}  // namespace xls
