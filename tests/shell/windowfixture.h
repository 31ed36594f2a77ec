#pragma once

#include "fakes/fakespeechsynth.h"
#include "fakes/scripteddialog.h"
#include "fakes/scriptedmessageboxes.h"
#include "shell/frmmain.h"

#include <memory>

// The real main window started with doubles of every platform service.
struct WindowFixture
{
    FakeSpeechSynth synth;
    ScriptedDialog dialogs;
    ScriptedMessageBoxes messages;
    int terminated = 0;
    std::unique_ptr<Frmmain> window;

    WindowFixture()
    {
        window = std::make_unique<Frmmain>();
        Frmmain::Services services;
        services.synth = &synth;
        services.dialogs = &dialogs;
        services.messages = &messages;
        services.terminate = [this] { ++terminated; };
        window->start(services);
    }

    template<typename T>
    T *child(const QString &name) const
    {
        return window->findChild<T *>(name);
    }
};
