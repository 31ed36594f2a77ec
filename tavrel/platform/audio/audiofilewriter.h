#pragma once

#include <QString>

#include <memory>
#include <optional>
#include <vector>

class QSaveFile;
class Resampler;
typedef struct sf_private_tag SNDFILE;

// Writes 16-bit mono speech to an audio file, of the type the file name ends with:
// .wav, .flac, .ogg or .oga (Vorbis), .opus or .mp3 (libsndfile). The audio streams to
// a temporary file beside the target, which takes the target's place only on
// commit(): a write that is abandoned or fails leaves no partial file, and the file
// that was there before stays as it was.
class AudioFileWriter
{
public:
    enum class Type { Wav, Flac, Vorbis, Opus, Mp3 };

    // The type for a file name, by its ending; nothing for an ending not written.
    static std::optional<Type> typeFor(const QString &path);
    // The endings written, for messages: ".wav, .flac, .ogg, .opus or .mp3".
    static QString endings();

    explicit AudioFileWriter(int sampleRate);
    // Discards the file unless it was committed.
    ~AudioFileWriter();
    AudioFileWriter(const AudioFileWriter &) = delete;
    AudioFileWriter &operator=(const AudioFileWriter &) = delete;

    // False, with the reason in *error, when the type is unknown or the file cannot
    // be made.
    bool open(const QString &path, QString *error);
    // False when the samples could not be written (a full disk); the reason is then
    // in errorString().
    bool write(const qint16 *samples, qsizetype count);
    // Finishes the file and puts it in place.
    bool commit(QString *error);
    // Drops the file written so far.
    void discard();

    QString errorString() const { return m_error; }
    // The rate of the samples in the file; Opus keeps to its own rates.
    int fileRate() const { return m_fileRate; }

private:
    bool writeFileSamples(const qint16 *samples, qsizetype count);
    void close();

    int m_sampleRate;
    int m_fileRate;
    QString m_path;
    QString m_error;
    std::unique_ptr<QSaveFile> m_file;
    std::unique_ptr<Resampler> m_resampler;
    std::vector<qint16> m_resampled;
    SNDFILE *m_sndfile = nullptr;
};
