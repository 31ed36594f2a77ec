#include "platform/audio/audiofilewriter.h"

#include "platform/audio/resampler.h"

#include <QFileInfo>
#include <QSaveFile>

#include <sndfile.h>

namespace {

// libsndfile writes through these into the file that replaces the target at the end.
sf_count_t fileLength(void *device)
{
    return static_cast<QSaveFile *>(device)->size();
}

sf_count_t fileSeek(sf_count_t offset, int whence, void *device)
{
    auto *file = static_cast<QSaveFile *>(device);
    qint64 to = offset;
    if (whence == SEEK_CUR)
        to += file->pos();
    else if (whence == SEEK_END)
        to += file->size();
    return file->seek(to) ? file->pos() : -1;
}

sf_count_t fileRead(void *, sf_count_t, void *)
{
    // The file is written only.
    return 0;
}

sf_count_t fileWrite(const void *data, sf_count_t count, void *device)
{
    const qint64 written = static_cast<QSaveFile *>(device)->write(
        static_cast<const char *>(data), count);
    return written < 0 ? 0 : written;
}

sf_count_t fileTell(void *device)
{
    return static_cast<QSaveFile *>(device)->pos();
}

int formatOf(AudioFileWriter::Type type)
{
    switch (type) {
    case AudioFileWriter::Type::Wav:
        return SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    case AudioFileWriter::Type::Flac:
        return SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
    case AudioFileWriter::Type::Vorbis:
        return SF_FORMAT_OGG | SF_FORMAT_VORBIS;
    case AudioFileWriter::Type::Opus:
        return SF_FORMAT_OGG | SF_FORMAT_OPUS;
    case AudioFileWriter::Type::Mp3:
        return SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;
    }
    return 0;
}

} // namespace

std::optional<AudioFileWriter::Type> AudioFileWriter::typeFor(const QString &path)
{
    const QString ending = QFileInfo(path).suffix().toLower();
    if (ending == QLatin1String("wav"))
        return Type::Wav;
    if (ending == QLatin1String("flac"))
        return Type::Flac;
    if (ending == QLatin1String("ogg") || ending == QLatin1String("oga"))
        return Type::Vorbis;
    if (ending == QLatin1String("opus"))
        return Type::Opus;
    if (ending == QLatin1String("mp3"))
        return Type::Mp3;
    return std::nullopt;
}

QString AudioFileWriter::endings()
{
    return QStringLiteral(".wav, .flac, .ogg, .opus or .mp3");
}

AudioFileWriter::AudioFileWriter(int sampleRate)
    : m_sampleRate(sampleRate)
    , m_fileRate(sampleRate)
{
}

AudioFileWriter::~AudioFileWriter()
{
    discard();
}

bool AudioFileWriter::open(const QString &path, QString *error)
{
    discard();
    m_path = path;
    m_error.clear();
    const std::optional<Type> type = typeFor(path);
    if (QFileInfo(path).isDir()) {
        m_error = QStringLiteral("%1 is a folder.").arg(path);
    } else if (!type) {
        m_error = QStringLiteral("%1 does not end with %2, the audio files written.")
                      .arg(QFileInfo(path).fileName(), endings());
    }
    if (m_error.isEmpty()) {
        // Opus is coded at 48 kHz; the other files keep the voice's own rate.
        m_fileRate = *type == Type::Opus ? 48000 : m_sampleRate;
        if (m_fileRate != m_sampleRate)
            m_resampler = std::make_unique<Resampler>(m_sampleRate, m_fileRate);
        m_file = std::make_unique<QSaveFile>(path);
        if (!m_file->open(QIODevice::WriteOnly)) {
            m_error = QStringLiteral("Cannot write %1: %2").arg(path, m_file->errorString());
        } else {
            SF_VIRTUAL_IO io{fileLength, fileSeek, fileRead, fileWrite, fileTell};
            SF_INFO info{};
            info.samplerate = m_fileRate;
            info.channels = 1;
            info.format = formatOf(*type);
            m_sndfile = sf_open_virtual(&io, SFM_WRITE, &info, m_file.get());
            if (!m_sndfile)
                m_error = QStringLiteral("Cannot write %1: %2")
                              .arg(path, QString::fromUtf8(sf_strerror(nullptr)));
        }
    }
    if (!m_error.isEmpty()) {
        discard();
        if (error)
            *error = m_error;
        return false;
    }
    return true;
}

bool AudioFileWriter::write(const qint16 *samples, qsizetype count)
{
    if (!m_sndfile)
        return false;
    if (!m_resampler)
        return writeFileSamples(samples, count);
    m_resampled.clear();
    m_resampler->process(samples, count, &m_resampled);
    return writeFileSamples(m_resampled.data(), qsizetype(m_resampled.size()));
}

bool AudioFileWriter::writeFileSamples(const qint16 *samples, qsizetype count)
{
    if (count <= 0)
        return true;
    if (sf_write_short(m_sndfile, samples, count) == count)
        return true;
    m_error = QStringLiteral("Cannot write %1: %2")
                  .arg(m_path, m_file->error() != QFileDevice::NoError
                                   ? m_file->errorString()
                                   : QString::fromUtf8(sf_strerror(m_sndfile)));
    return false;
}

bool AudioFileWriter::commit(QString *error)
{
    bool ok = m_sndfile != nullptr;
    if (ok && m_resampler) {
        m_resampled.clear();
        m_resampler->flush(&m_resampled);
        ok = writeFileSamples(m_resampled.data(), qsizetype(m_resampled.size()));
    }
    if (m_sndfile) {
        // Closing writes the file's last pages and headers.
        sf_close(m_sndfile);
        m_sndfile = nullptr;
    }
    if (ok && m_file->error() != QFileDevice::NoError) {
        m_error = QStringLiteral("Cannot write %1: %2").arg(m_path, m_file->errorString());
        ok = false;
    }
    if (ok && !m_file->commit()) {
        m_error = QStringLiteral("Cannot write %1: %2").arg(m_path, m_file->errorString());
        ok = false;
    }
    if (!ok) {
        discard();
        if (error)
            *error = m_error;
    }
    m_file.reset();
    return ok;
}

void AudioFileWriter::discard()
{
    if (m_sndfile) {
        sf_close(m_sndfile);
        m_sndfile = nullptr;
    }
    if (m_file) {
        m_file->cancelWriting();
        // Without commit the temporary file is removed.
        m_file.reset();
    }
    m_resampler.reset();
}
