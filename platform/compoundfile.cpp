#include "platform/compoundfile.h"

#include "platform/atomicfile.h"
#include "platform/compoundfilewriter.h"
#include "platform/filelock.h"
#include "platform/largebuffer.h"
#include "platform/logging.h"

#include <QFile>

#include <gsf/gsf-doc-meta-data.h>
#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-input.h>
#include <gsf/gsf-meta-names.h>
#include <gsf/gsf-msole-utils.h>
#include <gsf/gsf-output-memory.h>
#include <gsf/gsf-output.h>
#include <gsf/gsf-utils.h>

namespace {

const char kSummaryStream[] = "\005SummaryInformation";

struct GObjectUnref {
    void operator()(gpointer p) const
    {
        if (p)
            g_object_unref(p);
    }
};
template <typename T> using GPtr = std::unique_ptr<T, GObjectUnref>;

const char *metaName(CompoundFile::Summary field)
{
    switch (field) {
    case CompoundFile::Summary::Title: return GSF_META_NAME_TITLE;
    case CompoundFile::Summary::Subject: return GSF_META_NAME_SUBJECT;
    case CompoundFile::Summary::Author: return GSF_META_NAME_CREATOR;
    case CompoundFile::Summary::Comments: return GSF_META_NAME_DESCRIPTION;
    case CompoundFile::Summary::LastSavedBy: return GSF_META_NAME_LAST_SAVED_BY;
    case CompoundFile::Summary::RevisionNumber: return GSF_META_NAME_REVISION_COUNT;
    }
    return "";
}

constexpr CompoundFile::Summary kAllSummary[] = {
    CompoundFile::Summary::Title,    CompoundFile::Summary::Subject,     CompoundFile::Summary::Author,
    CompoundFile::Summary::Comments, CompoundFile::Summary::LastSavedBy, CompoundFile::Summary::RevisionNumber,
};

void ensureGsf()
{
    static const bool done = [] {
        gsf_init();
        return true;
    }();
    Q_UNUSED(done);
}

QByteArray readInput(GsfInput *input)
{
    const gsf_off_t size = gsf_input_size(input);
    if (size < 0 || size > gsf_off_t(std::numeric_limits<int>::max()))
        return {};
    QByteArray data = LargeBuffer::uninitialized(qsizetype(size));
    if (size > 0 && !gsf_input_read(input, size_t(size), reinterpret_cast<guint8 *>(data.data())))
        return {};
    return data;
}

QString valueText(const GValue *value)
{
    if (!value)
        return {};
    if (G_VALUE_HOLDS_STRING(value))
        return QString::fromUtf8(g_value_get_string(value));
    // Other writers may store the revision as a number.
    if (G_VALUE_HOLDS_INT(value))
        return QString::number(g_value_get_int(value));
    if (G_VALUE_HOLDS_UINT(value))
        return QString::number(g_value_get_uint(value));
    return {};
}

// The SummaryInformation property set's bytes.
QByteArray summaryBytes(const QMap<CompoundFile::Summary, QString> &summary)
{
    ensureGsf();
    GPtr<GsfOutput> sink(gsf_output_memory_new());
    GPtr<GsfDocMetaData> meta(gsf_doc_meta_data_new());
    for (auto it = summary.cbegin(); it != summary.cend(); ++it) {
        auto *value = g_new0(GValue, 1);
        g_value_init(value, G_TYPE_STRING);
        g_value_set_string(value, it.value().toUtf8().constData());
        gsf_doc_meta_data_insert(meta.get(), g_strdup(metaName(it.key())), value);
    }
    // FALSE: the SummaryInformation set, not the document summary one.
    gsf_doc_meta_data_write_to_msole(meta.get(), sink.get(), FALSE);
    gsf_output_close(sink.get());
    const auto size = gsf_output_size(sink.get());
    const guint8 *bytes = gsf_output_memory_get_bytes(GSF_OUTPUT_MEMORY(sink.get()));
    return QByteArray(reinterpret_cast<const char *>(bytes), qsizetype(size));
}

} // namespace

CompoundFile::CompoundFile(QString path, std::unique_ptr<FileLock> lock)
    : m_path(std::move(path))
    , m_lock(std::move(lock))
{}

CompoundFile::~CompoundFile() = default;

std::unique_ptr<CompoundFile> CompoundFile::create(const QString &path, Wait wait)
{
    auto lock = std::make_unique<FileLock>(path, FileLock::Mode::Exclusive, wait);
    if (!lock->isLocked())
        return nullptr;
    return std::unique_ptr<CompoundFile>(new CompoundFile(path, std::move(lock)));
}

std::unique_ptr<CompoundFile> CompoundFile::open(const QString &path, Access access, Wait wait)
{
    if (!QFile::exists(path))
        return nullptr;
    auto lock = access == Access::Write
        ? std::make_unique<FileLock>(path, FileLock::Mode::Exclusive, wait)
        : std::make_unique<FileLock>(path, FileLock::Mode::Shared, wait, FileLock::IfNoSidecar::Proceed);
    if (!lock->isLocked())
        return nullptr;
    std::unique_ptr<CompoundFile> storage(new CompoundFile(path, std::move(lock)));
    if (!storage->readContents())
        return nullptr;
    return storage;
}

std::unique_ptr<CompoundFile> CompoundFile::openOrCreate(const QString &path, Wait wait, IfDamaged ifDamaged)
{
    auto lock = std::make_unique<FileLock>(path, FileLock::Mode::Exclusive, wait);
    if (!lock->isLocked())
        return nullptr;
    // Looked at only now, under the lock: another writer may have made it meanwhile.
    std::unique_ptr<CompoundFile> storage(new CompoundFile(path, std::move(lock)));
    if (!QFile::exists(path) || storage->readContents())
        return storage;
    if (ifDamaged == IfDamaged::Fail || AtomicFile::setAside(path).isEmpty())
        return nullptr;
    return storage; // empty contents: the next commit replaces the damaged file
}

bool CompoundFile::readContents()
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcFiles) << "cannot read" << m_path;
        return false;
    }
    // Mapped rather than read: a large store is then copied once, not twice.
    const qint64 size = file.size();
    uchar *mapped = size > 0 ? file.map(0, size) : nullptr;
    if (mapped)
        LargeBuffer::populate(mapped, size);
    auto contents = mapped ? parse(QByteArray::fromRawData(reinterpret_cast<const char *>(mapped), qsizetype(size)))
                           : parse(file.readAll());
    if (mapped)
        file.unmap(mapped);
    if (!contents) {
        qCWarning(lcFiles) << "not a compound file" << m_path;
        return false;
    }
    m_contents = std::move(*contents);
    return true;
}

std::optional<CompoundFile::Contents> CompoundFile::parse(const QByteArray &bytes)
{
    ensureGsf();
    GPtr<GsfInput> input(
        gsf_input_memory_new(reinterpret_cast<const guint8 *>(bytes.constData()), bytes.size(), FALSE));
    if (!input)
        return std::nullopt;
    GError *error = nullptr;
    GPtr<GsfInfile> infile(gsf_infile_msole_new(input.get(), &error));
    if (!infile) {
        if (error)
            g_error_free(error);
        return std::nullopt;
    }
    Contents contents;
    const int children = gsf_infile_num_children(infile.get());
    for (int i = 0; i < children; ++i) {
        const char *rawName = gsf_infile_name_by_index(infile.get(), i);
        GPtr<GsfInput> child(gsf_infile_child_by_index(infile.get(), i));
        if (!rawName || !child)
            continue;
        if (GSF_IS_INFILE(child.get()) && gsf_infile_num_children(GSF_INFILE(child.get())) >= 0)
            continue; // a sub-storage: not ours
        if (qstrcmp(rawName, kSummaryStream) == 0) {
            GPtr<GsfDocMetaData> meta(gsf_doc_meta_data_new());
            if (GError *metaError = gsf_doc_meta_data_read_from_msole(meta.get(), child.get())) {
                qCWarning(lcFiles) << "summary properties not readable" << metaError->message;
                g_error_free(metaError);
                continue;
            }
            for (Summary field : kAllSummary) {
                if (GsfDocProp *prop = gsf_doc_meta_data_lookup(meta.get(), metaName(field)))
                    contents.summary.insert(field, valueText(gsf_doc_prop_get_val(prop)));
            }
            continue;
        }
        contents.streams.append({QString::fromUtf8(rawName), readInput(child.get())});
    }
    return contents;
}

namespace {

// A damaged file can give a stream a name no compound file can hold: such a
// stream (not one of ours) is left out of the file written.
bool writableName(const QString &name, const QString &path)
{
    if (CompoundFileWriter::canName(name))
        return true;
    qCWarning(lcFiles) << "a stream whose name cannot be written is left out" << name << path;
    return false;
}

// The file's pieces: each stream as handed out (written from its pieces, not
// joined) or as read, then the summary properties.
std::optional<QList<QByteArray>> layOut(const CompoundFile::Contents &contents, const QMap<QString, ValueStream> &open,
                                        const QString &path)
{
    QList<CompoundFileWriter::Stream> streams;
    for (const auto &[name, data] : contents.streams) {
        if (!writableName(name, path))
            continue;
        const auto it = open.constFind(name);
        streams.append({name, it != open.cend() ? it->pieces() : QList<QByteArray>{data}});
    }
    streams.append({QString::fromLatin1(kSummaryStream), {summaryBytes(contents.summary)}});
    return CompoundFileWriter::layOut(streams);
}

} // namespace

QByteArray CompoundFile::serialize(const Contents &contents)
{
    const auto pieces = layOut(contents, {}, {});
    return pieces ? pieces->join() : QByteArray();
}

ValueStream *CompoundFile::openStream(const QString &name)
{
    for (const auto &[streamName, data] : std::as_const(m_contents.streams)) {
        if (streamName == name) {
            // What was written to it since it was handed out, else what was read.
            const auto written = m_open.constFind(name);
            QByteArray content = written != m_open.cend() ? written->data() : data;
            auto it = m_open.insert(name, ValueStream(std::move(content)));
            return &it.value();
        }
    }
    return nullptr;
}

ValueStream *CompoundFile::createStream(const QString &name)
{
    auto it = m_open.insert(name, ValueStream());
    bool found = false;
    for (auto &[streamName, data] : m_contents.streams) {
        if (streamName == name) {
            data.clear();
            found = true;
        }
    }
    if (!found)
        m_contents.streams.append({name, QByteArray()});
    return &it.value();
}

bool CompoundFile::commit()
{
    const auto pieces = layOut(m_contents, m_open, m_path);
    if (!pieces) {
        qCWarning(lcFiles) << "too large for a compound file" << m_path;
        return false;
    }
    return AtomicFile::write(m_path, *pieces);
}
