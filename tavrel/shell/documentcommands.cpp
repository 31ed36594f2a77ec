#include "shell/documentcommands.h"

#include "editing/undocommands.h"
#include "platform/commondialog.h"
#include "platform/messageboxes.h"
#include "platform/richtextpad.h"
#include "platform/speechsynth.h"
#include "shell/documentfile.h"
#include "shell/documentstate.h"
#include "speech/readout.h"

#include <QFileInfo>

namespace {

const char kSaveYourWork[] = "Would you like to save your work?";
const char kCantSave[] = "Can't save file.";
const char kCantOpen[] = "Can't open file.";
const char kNewCreated[] = "New document created.";
const char kOpenPrompt[] = "What's the text file do want to you open? Select it";
const char kSaveAsPrompt[] = "What would you like to save the document as?";
const char kUntitled[] = "Document name: Untitled.txt";

} // namespace

DocumentCommands::DocumentCommands(const Parts &parts)
    : m_parts(parts)
{
}

QString DocumentCommands::openFilter()
{
    return QStringLiteral("All Files (*.*)|*.*|Text Files (*.txt)|*.txt|"
                          "Rich Text Document (*.rtf)|*.rtf|Batch Files (*.bat)|*.bat");
}

void DocumentCommands::reportFailure(const QString &text)
{
    m_parts.synth->stop();
    m_parts.synth->speak(text);
    m_parts.messages->show(text, QStringLiteral("Error"), MessageBoxes::Buttons::Ok,
                           MessageBoxes::Icon::Critical);
}

bool DocumentCommands::offerToSave(const QString &question)
{
    if (!m_parts.state->textChanged)
        return true;
    m_parts.synth->speak(question);
    const auto answer = m_parts.messages->show(question, QStringLiteral("Tavrel"),
                                               MessageBoxes::Buttons::YesNo,
                                               MessageBoxes::Icon::Question);
    if (answer != MessageBoxes::Answer::Yes)
        return true;
    // The Save dialog is shown as the last command left it: no title, filter or file
    // name is set here.
    CommonDialog &dialogs = *m_parts.dialogs;
    if (!dialogs.showSave() || dialogs.fileName().isEmpty())
        return false;
    if (!DocumentFile::write(dialogs.fileName(), *m_parts.pad)) {
        reportFailure(QString::fromLatin1(kCantSave));
        return false;
    }
    return true;
}

void DocumentCommands::newDocument()
{
    m_parts.synth->stop();
    if (!offerToSave(QString::fromLatin1(kSaveYourWork)))
        return;
    m_parts.pad->setText(QString());
    m_parts.state->documentName = QString::fromLatin1(kUntitled);
    m_parts.state->textChanged = false;
    m_parts.state->setSaveEnabled(false);
    m_parts.undo->clearUndo();
    m_parts.synth->speak(QString::fromLatin1(kNewCreated));
}

void DocumentCommands::openDocument()
{
    // A changed document is offered for saving first, as New does; a cancel there
    // abandons the Open and keeps the text.
    if (!offerToSave(QString::fromLatin1(kSaveYourWork)))
        return;
    m_parts.synth->speak(QString::fromLatin1(kOpenPrompt));
    CommonDialog &dialogs = *m_parts.dialogs;
    dialogs.setFilter(openFilter());
    dialogs.setFilterIndex(kOpenFilterIndex);
    if (!dialogs.showOpen() || dialogs.fileName().isEmpty())
        return;
    openFile(dialogs.fileName());
}

void DocumentCommands::openFileAtStart(const QString &path)
{
    // As after Open, a later file dialog starts at this file.
    const QString absolute = QFileInfo(path).absoluteFilePath();
    m_parts.dialogs->setFileName(absolute);
    openFile(absolute);
}

void DocumentCommands::openFile(const QString &path)
{
    if (!m_parts.pad->loadFile(path)) {
        // The pad keeps what it held.
        reportFailure(QString::fromLatin1(kCantOpen));
        return;
    }
    // The opened file is a document of its own: unchanged, with no history, and not
    // the file a plain Save would overwrite.
    m_parts.state->textChanged = false;
    m_parts.state->setSaveEnabled(false);
    m_parts.undo->clearUndo();
    // Read as by Read It!, so the words heard are marked as they are.
    m_parts.readOut->cmdRead_Click();
}

void DocumentCommands::save()
{
    const QString path = m_parts.state->currentFile;
    if (!DocumentFile::write(path, *m_parts.pad)) {
        // The document stays changed: nothing was saved.
        reportFailure(QString::fromLatin1(kCantSave));
        return;
    }
    // The name is what follows the last separator of the path.
    const qsizetype separator =
        qMax(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    if (separator >= 0)
        m_parts.synth->speak(QStringLiteral("Saved ") + path.mid(separator + 1));
    m_parts.state->textChanged = false;
}

void DocumentCommands::saveAs()
{
    m_parts.synth->stop();
    m_parts.synth->speak(QString::fromLatin1(kSaveAsPrompt));
    CommonDialog &dialogs = *m_parts.dialogs;
    if (!dialogs.showSave() || dialogs.fileName().isEmpty())
        return;
    if (!DocumentFile::write(dialogs.fileName(), *m_parts.pad)) {
        reportFailure(QString::fromLatin1(kCantOpen));
        return;
    }
    m_parts.state->currentFile = dialogs.fileName();
    m_parts.state->setSaveEnabled(true);
    m_parts.state->textChanged = false;
    m_parts.undo->clearUndo();
    m_parts.synth->speak(QStringLiteral("Document saved as ") + dialogs.fileTitle());
}

void DocumentCommands::cmdClear_Click()
{
    m_parts.pad->setText(QString());
    m_parts.synth->stop();
    m_parts.readOut->showReadIt();
}
