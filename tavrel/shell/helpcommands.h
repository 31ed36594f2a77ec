#pragma once

#include <QPointer>
#include <QStringList>
#include <QUrl>

#include <functional>

class HelpWindow;
class QWidget;
class SpeechSynth;

// The Help menu's two commands: Contents, which greets the user aloud and opens the
// manual in Tavrel's own help window on its table of contents, and About, the modal
// About box. The help window is made once and kept for the run: a later Contents
// brings it back to the front as the user left it.
class HelpCommands
{
public:
    struct Parts {
        SpeechSynth *synth = nullptr;
        // Owner of the help window and the About box.
        QWidget *owner = nullptr;
        // Opens an address (a web page, a mail link) in the desktop's program for it.
        std::function<void(const QUrl &)> openUrl;
        // Folders the help collection is looked for in; empty for the usual places.
        QStringList helpFolders;
    };

    explicit HelpCommands(const Parts &parts);
    ~HelpCommands();

    void contents();
    void aboutMe();

    // The help window, once Contents has made it.
    HelpWindow *helpWindow() const;

private:
    Parts m_parts;
    QPointer<HelpWindow> m_helpWindow;
};
