// GLib names a struct member "signals", which Qt's headers define as a keyword:
// the GLib side comes first.
#include <gsf/gsf.h>

#include "compoundfile.h"

#include <string>

#include "xlserror.h"

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
    GsfOutput* sink = nullptr;
    GsfOutfile* root = nullptr;
    GsfOutput* stream = nullptr;
};

CompoundFile::CompoundFile(const QString& path) : path_(path), parts_(std::make_unique<Parts>()) {
    GError* error = nullptr;
    // The stdio output writes beside the target and renames over it when it closes
    // without an error.
    parts_->sink = gsf_output_stdio_new(path.toLocal8Bit().constData(), &error);
    if (!parts_->sink) {
        const QString text = textOf(error);
        g_clear_error(&error);
        throw xls::Error(QStringLiteral("Cannot write '%1': %2").arg(path_, text));
    }
    parts_->root = gsf_outfile_msole_new(parts_->sink);
    parts_->stream = gsf_outfile_new_child(parts_->root, "Workbook", FALSE);
    if (!parts_->root || !parts_->stream)
        fail();
}

CompoundFile::~CompoundFile() {
    abandon();
}

void CompoundFile::write(const char* data, std::size_t size) {
    if (!gsf_output_write(parts_->stream, size, reinterpret_cast<const guint8*>(data)))
        fail();
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
    const bool failed = !closed || gsf_output_error(parts_->sink);
    if (failed)
        fail();
    g_clear_object(&parts_->sink);
}

void CompoundFile::fail() {
    const GError* error = nullptr;
    for (GsfOutput* output : {parts_->stream, GSF_OUTPUT(parts_->root), parts_->sink}) {
        if (output && !error)
            error = gsf_output_error(output);
    }
    const QString text = QStringLiteral("Cannot write '%1': %2").arg(path_, textOf(error));
    abandon();
    throw xls::Error(text);
}

void CompoundFile::abandon() {
    if (!parts_->sink)
        return;
    // An error on the sink makes it remove its temporary file when it closes, and
    // leave the target alone. Dropping it unclosed would leave the temporary file.
    if (!gsf_output_error(parts_->sink))
        gsf_output_set_error(parts_->sink, 0, "export abandoned");
    if (parts_->stream) {
        gsf_output_close(parts_->stream);
        g_clear_object(&parts_->stream);
    }
    if (parts_->root) {
        gsf_output_close(GSF_OUTPUT(parts_->root));
        g_clear_object(&parts_->root);
    }
    if (!gsf_output_is_closed(parts_->sink))
        gsf_output_close(parts_->sink);
    g_clear_object(&parts_->sink);
}

}  // namespace xls
