#pragma once

#include <QDialog>

class MessageBoxes;
class QCheckBox;
class QLineEdit;
class QPushButton;
class RichTextPad;
class UndoCommands;

// The "Search & Replace" dialog over the main window's pad. A window of its own
// (no owner), made once and only hidden by Cancel, so its texts, check boxes,
// button states and remembered position last the whole run.
//
// One remembered position links the buttons: the start of the last match found, or
// -1 after a search that found nothing. Find searches from the start of the text;
// Find Next and Replace go on one character after the last match's start, so
// overlapping matches are found; nothing wraps. Each button reads the fields afresh
// and works on the pad's text and selection as they are when it is pressed.
class SearchDialog : public QDialog
{
    Q_OBJECT

public:
    struct Parts {
        RichTextPad *pad = nullptr;
        MessageBoxes *messages = nullptr;
        UndoCommands *undo = nullptr;
    };

    explicit SearchDialog(const Parts &parts);

    int findPos() const { return m_findPos; }

    void findButton_Click();
    void findNextButton_Click();
    // Replaces the selection only when it is a match of the search text; then, or
    // else, selects the next match. A replacement is never searched again.
    void replaceButton_Click();
    // Replaces every match from the start of the text to its end, text it inserted
    // left alone, as one undoable change.
    void replaceAllButton_Click();
    void cmdCancel_Click();

    // Esc and the window's close box cancel.
    void reject() override;

protected:
    void focusInEvent(QFocusEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void createControls();
    // 2 for a whole word, 4 to match case, as the pad's find takes them.
    int options() const;
    // Searches from `start` and keeps the result as the remembered position.
    bool searchFrom(int start);
    void reportNotFound();
    void setReplaceEnabled(bool on);
    // Brings the main window and the selected match to the front.
    void activateMainWindow();
    bool selectionIsMatch() const;

    Parts m_parts;
    // A document position; the pad's document counts its positions in int.
    int m_findPos = 0;
    bool m_shownBefore = false;

    QLineEdit *m_text1 = nullptr;
    QLineEdit *m_text2 = nullptr;
    QCheckBox *m_check1 = nullptr;
    QCheckBox *m_check2 = nullptr;
    QPushButton *m_findButton = nullptr;
    QPushButton *m_findNextButton = nullptr;
    QPushButton *m_replaceButton = nullptr;
    QPushButton *m_replaceAllButton = nullptr;
    QPushButton *m_cmdCancel = nullptr;
};
