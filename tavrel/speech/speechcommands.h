#pragma once

#include "speech/speechpreferences.h"

#include <QString>

class QAction;
class QLabel;
class QTimer;
class ReadOut;
class RichTextPad;

// The Speech menu: reading from the caret or the selection, the choice of marking
// the word being heard (kept across runs), and the notice telling why speech
// cannot be heard.
class SpeechCommands
{
public:
    // `highlightItem` is the menu's checkable item; the preferences live at
    // `preferencesPath`.
    SpeechCommands(ReadOut &readOut, RichTextPad &pad, QAction &highlightItem,
                   const QString &preferencesPath);
    ~SpeechCommands();

    void readFromCaret();
    void readSelection();
    // The menu item was toggled: follows it and keeps the choice.
    void highlightSpokenWords();

    // The notice shown in the pad, for tests.
    QLabel *notice() const { return m_notice; }

private:
    void showNotice(const QString &reason);

    ReadOut &m_readOut;
    RichTextPad &m_pad;
    QAction &m_highlightItem;
    QString m_preferencesPath;
    SpeechPreferences m_preferences;
    QLabel *m_notice = nullptr;
    QTimer *m_noticeTimer = nullptr;
};
