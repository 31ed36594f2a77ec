#include "editing/clipboardcommands.h"

#include "editing/undocommands.h"
#include "platform/richtextpad.h"
#include "platform/speechsynth.h"

#include <QClipboard>
#include <QMimeData>

#include <limits>

ClipboardCommands::ClipboardCommands(SpeechSynth &synth, RichTextPad &pad, UndoCommands &undo,
                                     QClipboard &clipboard)
    : m_synth(synth)
    , m_pad(pad)
    , m_undo(undo)
    , m_clipboard(clipboard)
{
}

void ClipboardCommands::addText(const QString &text)
{
    // Every text format goes, so that no program pastes the old text (or its rich
    // form) in place of the new one. A picture is taken once, as a picture: it is
    // offered in every picture format again.
    auto *data = new QMimeData;
    if (const QMimeData *held = m_clipboard.mimeData()) {
        const bool picture = held->hasImage();
        if (picture)
            data->setImageData(held->imageData());
        const QStringList formats = held->formats();
        for (const QString &format : formats) {
            if (!format.contains(QLatin1Char('/')) || format.startsWith(QLatin1String("text/"))
                || format.startsWith(QLatin1String("application/x-qt-"))
                || (picture && format.startsWith(QLatin1String("image/"))))
                continue;
            const QByteArray bytes = held->data(format);
            if (!bytes.isEmpty())
                data->setData(format, bytes);
        }
    }
    data->setText(text);
    m_clipboard.setMimeData(data);
}

void ClipboardCommands::replaceSelection(const QString &text)
{
    if (m_pad.selLength() == 0 && text.isEmpty())
        return;
    m_undo.pushUndo();
    m_pad.setSelText(text);
}

void ClipboardCommands::cutMe()
{
    const QString text = m_pad.selText();
    m_clipboard.clear();
    m_clipboard.setText(text);
    replaceSelection(QString());
    m_pad.setFocus();
}

void ClipboardCommands::copyMe()
{
    m_synth.speak(QStringLiteral("Are you sure to copy this text?"));
    addText(m_pad.selText());
}

void ClipboardCommands::pasteMe()
{
    m_synth.speak(QStringLiteral("Are you sure to paste here?"));
    // A clipboard without text (only a picture, say) pastes the empty text: the
    // selection is deleted.
    replaceSelection(m_clipboard.text());
}

void ClipboardCommands::deleteMe()
{
    if (m_pad.selLength() <= 0)
        return;
    m_undo.pushUndo();
    m_pad.deleteForward();
}

void ClipboardCommands::selectMe()
{
    // Everything, pictures included.
    m_pad.setSelStart(0);
    m_pad.setSelLength(std::numeric_limits<int>::max());
    m_pad.setFocus();
    m_synth.speak(QStringLiteral("You have selected all the text. What would you like to do?"));
}

void ClipboardCommands::toolbarCut()
{
    addText(m_pad.selText());
    replaceSelection(QString());
}

void ClipboardCommands::toolbarCopy()
{
    addText(m_pad.selText());
}

void ClipboardCommands::toolbarPaste()
{
    replaceSelection(m_clipboard.text());
}
