#pragma once

#include <QDialog>

class QComboBox;
class QFrame;
class QLabel;
class QPushButton;
class RichTextPad;
class SymbolGrid;

// The Insert Symbol dialog: the 224 characters of codes 32 to 255 in a font picked
// from the screen fonts, as a grid of 7 rows by 32 cells. The character under the
// mouse shows enlarged in the preview; a click inserts it at the pad's selection in
// that font and closes the dialog. Modeless and without an owner; it deletes itself
// when it closes.
class FrmSymbols : public QDialog
{
    Q_OBJECT

public:
    // The pad receives the characters; combo1 is the main window's font-name box,
    // whose font typing goes on in after an insertion.
    FrmSymbols(RichTextPad &pad, const QComboBox &combo1);

    QComboBox *cmbFonts() const { return m_cmbFonts; }
    SymbolGrid *txtSymbol() const { return m_txtSymbol; }
    QLabel *lblPreview() const { return m_lblPreview; }
    QPushButton *cmdCancel() const { return m_cmdCancel; }
    // The font the grid is drawn in.
    QString fontName() const { return m_fontName; }

    // A font picked from the list.
    void cmbFonts_Click();
    void txtSymbol_MouseMove(int index);
    void txtSymbol_Click(int index);
    void cmdCancel_Click();

private:
    void createControls();
    void load();
    void showFont(const QString &family);

    RichTextPad &m_pad;
    const QComboBox &m_combo1;
    QString m_savedFontName;
    QString m_fontName;

    QLabel *m_lblFont = nullptr;
    QComboBox *m_cmbFonts = nullptr;
    QFrame *m_picture1 = nullptr;
    SymbolGrid *m_txtSymbol = nullptr;
    QLabel *m_lblPreview = nullptr;
    QPushButton *m_cmdCancel = nullptr;
};
