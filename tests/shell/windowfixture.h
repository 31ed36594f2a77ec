#pragma once

#include "fakes/fakespeechsynth.h"
#include "fakes/scripteddialog.h"
#include "fakes/scriptedmessageboxes.h"
#include "shell/frmmain.h"

#include <QTemporaryDir>

#include <memory>

// The real main window started with doubles of every platform service.
struct WindowFixture
{
    FakeSpeechSynth synth;
    ScriptedDialog dialogs;
    ScriptedMessageBoxes messages;
    int terminated = 0;
    // Settings.ini of this run: in a folder of its own unless a test names one, so
    // that no test reads what another wrote.
    QTemporaryDir settingsDir;
    QString settingsPath;
    std::unique_ptr<Frmmain> window;

    explicit WindowFixture(const QString &settings = QString())
        : settingsPath(settings.isEmpty() ? settingsDir.filePath(QStringLiteral("Settings.ini"))
                                          : settings)
    {
        window = std::make_unique<Frmmain>();
        Frmmain::Services services;
        services.synth = &synth;
        services.dialogs = &dialogs;
        services.messages = &messages;
        services.terminate = [this] { ++terminated; };
        services.settingsPath = settingsPath;
        window->start(services);
    }

    template<typename T>
    T *child(const QString &name) const
    {
        return window->findChild<T *>(name);
    }
};
