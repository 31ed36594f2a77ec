#pragma once

#include <QImage>
#include <QPointer>
#include <QString>

class CommonDialog;
class FrmSymbols;
class QComboBox;
class QLabel;
class RichTextPad;
class SpeechSynth;
class UndoCommands;
struct DocumentState;

// The Insert menu: a picture file placed at the very end of the pad, by way of the
// clipboard and the font-colour swatch, and the Insert Symbol dialog, opened
// modeless and brought to the front when it is open already.
class InsertCommands
{
public:
    struct Parts {
        SpeechSynth *synth = nullptr;
        CommonDialog *dialogs = nullptr;
        RichTextPad *pad = nullptr;
        // The font-colour swatch, which holds the last picture inserted.
        QLabel *picFontColor = nullptr;
        // The main window's font-name box, whose font typing goes on in after a
        // symbol.
        const QComboBox *combo1 = nullptr;
        UndoCommands *undo = nullptr;
        DocumentState *state = nullptr;
    };

    // The picture types offered; the dialog opens on the bitmaps.
    static QString pictureFilter();
    static constexpr int kPictureFilterIndex = 2;

    explicit InsertCommands(const Parts &parts);
    // An open Insert Symbol dialog works on the pad: it closes with the window.
    ~InsertCommands();
    InsertCommands(const InsertCommands &) = delete;
    InsertCommands &operator=(const InsertCommands &) = delete;

    void insertMe();
    void symbols();

    // The open Insert Symbol dialog, or null.
    FrmSymbols *frmSymbols() const;

private:
    Parts m_parts;
    // The picture the swatch holds: the last one inserted.
    QImage m_swatchPicture;
    QPointer<FrmSymbols> m_frmSymbols;
};
