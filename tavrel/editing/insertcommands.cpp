#include "editing/insertcommands.h"

#include "editing/undocommands.h"
#include "platform/commondialog.h"
#include "platform/richtextpad.h"
#include "platform/speechsynth.h"
#include "shell/documentstate.h"
#include "symbols/frmsymbols.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImageReader>
#include <QLabel>
#include <QTextCursor>
#include <QTextDocument>

InsertCommands::InsertCommands(const Parts &parts)
    : m_parts(parts)
{
}

InsertCommands::~InsertCommands()
{
    delete m_frmSymbols.data();
}

QString InsertCommands::pictureFilter()
{
    return QStringLiteral("All Image Files (*.*)|*.*|Windows Bitmap (*.bmp)|*.bmp|"
                          "JPEG (*.JPG)|*.JPG|Compuserve GIF (*.GIF)|*.GIF");
}

void InsertCommands::insertMe()
{
    CommonDialog &dialogs = *m_parts.dialogs;
    dialogs.setCancelError(true);
    m_parts.synth->speak(QStringLiteral("What's the picture do you want to insert?"));
    dialogs.setFilter(pictureFilter());
    dialogs.setFilterIndex(kPictureFilterIndex);
    // The rest of the dialog (title, file name) stays as the last command left it.
    if (!dialogs.showOpen() || dialogs.fileName().isEmpty())
        return;

    // Whatever the file's name says, its content decides the format: "All Image
    // Files" lets any file be chosen.
    QImageReader reader(dialogs.fileName());
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    const QImage picture = reader.read();

    // The clipboard's earlier content goes even when the file is no picture; the
    // swatch's picture, the last one inserted, takes its place then.
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    if (picture.isNull()) {
        if (!m_swatchPicture.isNull())
            clipboard->setImage(m_swatchPicture);
        return;
    }
    // The swatch shows the picture over its colour, made small enough to fit.
    m_swatchPicture = picture;
    QLabel &swatch = *m_parts.picFontColor;
    swatch.setAlignment(Qt::AlignCenter);
    swatch.setPixmap(QPixmap::fromImage(picture.scaled(
        swatch.contentsRect().size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    clipboard->setImage(picture);

    // After the last character, wherever the caret was; the picture is the pad's
    // own paste of an image. It is a change to keep: Undo takes it back, and Exit
    // asks to save it.
    RichTextPad &pad = *m_parts.pad;
    pad.setFocus();
    pad.moveCursor(QTextCursor::End);
    m_parts.undo->pushUndo();
    m_parts.state->textChanged = true;
    // A picture wider than the pad is shown at the pad's width; it keeps all its
    // pixels.
    const int room = pad.viewport()->width() - 2 * int(pad.document()->documentMargin());
    QSizeF shown;
    if (room > 0 && picture.width() > room)
        shown = QSizeF(room, double(picture.height()) * room / picture.width());
    pad.insertPicture(picture, shown);
}

FrmSymbols *InsertCommands::frmSymbols() const
{
    return m_frmSymbols;
}

void InsertCommands::symbols()
{
    m_parts.synth->speak(QStringLiteral("What's the symbols do you want to insert? Choose it"));
    if (!m_frmSymbols)
        m_frmSymbols = new FrmSymbols(*m_parts.pad, *m_parts.combo1);
    m_frmSymbols->show();
    m_frmSymbols->raise();
    m_frmSymbols->activateWindow();
}
