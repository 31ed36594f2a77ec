#pragma once

#include "captureoutput.h"

#include "platform/espeak/espeakspeechsynth.h"
#include "platform/espeak/pcmqueue.h"

#include <memory>
#include <mutex>
#include <vector>

// The espeak-ng synthesiser playing into a CaptureOutput, with a record of every
// block of audio it queued.
struct SynthRig {
    explicit SynthRig(const QByteArray &voiceDataPath = {},
                      int lookAheadMs = EspeakSpeechSynth::Options{}.lookAheadMs)
    {
        EspeakSpeechSynth::Options options;
        options.voiceDataPath = voiceDataPath;
        options.lookAheadMs = lookAheadMs;
        options.output = [this](PcmQueue &queue, int) {
            auto output = std::make_unique<CaptureOutput>(queue);
            capture = output.get();
            return output;
        };
        synth = std::make_unique<EspeakSpeechSynth>(options);
        synth->setSynthesisTap([this](const qint16 *samples, qsizetype count) {
            std::lock_guard lock(tapMutex);
            tapped.insert(tapped.end(), samples, samples + count);
        });
    }

    std::vector<qint16> tappedSoFar()
    {
        std::lock_guard lock(tapMutex);
        return tapped;
    }

    // Speaks a text to its end and returns what was played.
    std::vector<qint16> render(const QString &text)
    {
        capture->recorded.clear();
        synth->speak(text);
        capture->playToEnd();
        return capture->recorded;
    }

    CaptureOutput *capture = nullptr;
    std::unique_ptr<EspeakSpeechSynth> synth;
    std::mutex tapMutex;
    std::vector<qint16> tapped;
};
