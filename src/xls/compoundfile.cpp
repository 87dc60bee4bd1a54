// GLib names a struct member "signals", which Qt's headers define as a keyword:
// the GLib side comes first.
#include <gsf/gsf.h>

#include "compoundfile.h"

#include <string>

#include "replacingfile.h"

namespace xls {

namespace {

// The container keeps a stream under 4,096 bytes in its small-block area; Excel
// expects its workbook stream in the large blocks, as it writes its own.
constexpr gsf_off_t kMinStream = 4096;

QString textOf(const GError* error) {
    return error ? QString::fromUtf8(error->message) : QStringLiteral("unknown error");
}

}  // namespace

struct CompoundFile::Parts {
    explicit Parts(const QString& path) : file(path) {}
    ReplacingFile file;
    GsfOutput* sink = nullptr;
    GsfOutfile* root = nullptr;
    GsfOutput* stream = nullptr;
};

bool CompoundFile::isTemporaryOf(const QString& fileName, const QString& target) {
    return ReplacingFile::isTemporaryOf(fileName, target);
}

CompoundFile::CompoundFile(const QString& path) : parts_(std::make_unique<Parts>(path)) {
    // The container writes into the temporary file's stream and leaves it open.
    parts_->sink = gsf_output_stdio_new_FILE(parts_->file.temporaryPath().constData(),
                                             parts_->file.stream(), TRUE);
    parts_->root = gsf_outfile_msole_new(parts_->sink);
    parts_->stream = gsf_outfile_new_child(parts_->root, "Workbook", FALSE);
    if (!parts_->sink || !parts_->root || !parts_->stream)
        fail();
}

CompoundFile::~CompoundFile() {
    abandon();
}

void CompoundFile::write(const char* data, std::size_t size) {
    if (!gsf_output_write(parts_->stream, size, reinterpret_cast<const guint8*>(data)))
        fail();
    parts_->file.settleWritten();
}

void CompoundFile::overwrite(std::uint64_t offset, const char* data, std::size_t size) {
    if (!gsf_output_seek(parts_->stream, gsf_off_t(offset), G_SEEK_SET) ||
        !gsf_output_write(parts_->stream, size, reinterpret_cast<const guint8*>(data)) ||
        !gsf_output_seek(parts_->stream, 0, G_SEEK_END))
        fail();
}

void CompoundFile::commit() {
    const gsf_off_t size = gsf_output_size(parts_->stream);
    if (size < kMinStream) {
        // Readers stop at the last EOF record and ignore the zeros after it.
        const std::string zeros(std::size_t(kMinStream - size), '\0');
        write(zeros.data(), zeros.size());
    }
    bool closed = gsf_output_close(parts_->stream);
    g_clear_object(&parts_->stream);
    // A full disk shows only here: the stream's writes succeed, closing the root fails
    // and the sink records the error.
    closed = gsf_output_close(GSF_OUTPUT(parts_->root)) && closed;
    g_clear_object(&parts_->root);
    // The root closes the sink with it.
    if (!gsf_output_is_closed(parts_->sink))
        closed = gsf_output_close(parts_->sink) && closed;
    if (!closed || gsf_output_error(parts_->sink))
        fail();
    g_clear_object(&parts_->sink);
    parts_->file.commit();
}

void CompoundFile::fail() {
    const GError* error = nullptr;
    for (GsfOutput* output : {parts_->stream, GSF_OUTPUT(parts_->root), parts_->sink}) {
        if (output && !error)
            error = gsf_output_error(output);
    }
    const QString reason = textOf(error);
    abandon();
    parts_->file.failWith(reason);
}

void CompoundFile::abandon() {
    if (parts_->sink && !gsf_output_error(parts_->sink))
        gsf_output_set_error(parts_->sink, 0, "export abandoned");
    if (parts_->stream) {
        gsf_output_close(parts_->stream);
        g_clear_object(&parts_->stream);
    }
    if (parts_->root) {
        gsf_output_close(GSF_OUTPUT(parts_->root));
        g_clear_object(&parts_->root);
    }
    if (parts_->sink) {
        if (!gsf_output_is_closed(parts_->sink))
            gsf_output_close(parts_->sink);
        g_clear_object(&parts_->sink);
    }
    parts_->file.abandon();
}

}  // namespace xls
