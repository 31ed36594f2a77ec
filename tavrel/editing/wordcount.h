#pragma once

#include <QStringView>

class MessageBoxes;
class QWidget;
class SharedText;
class SpeechSynth;
class UndoCommands;

// Word Count: counts the words of the whole pad and reports the number aloud and in
// a box titled "Word Count". A word is a run of characters none of which is white
// space (spaces, tabs, line breaks, no-break spaces), so blank lines add nothing and
// a tab separates words as a space does. The pad's text is counted as the undo
// history follows it, without a copy of the document.
class WordCount
{
public:
    WordCount(SpeechSynth &synth, MessageBoxes &messages, UndoCommands &undo, QWidget &window);

    // The words of a plain text, or of a document's raw text (where pictures split
    // no word and paragraph and frame marks are line breaks).
    static qsizetype countWords(QStringView text);
    static qsizetype countWords(const SharedText &text);

    void countMe();

private:
    SpeechSynth &m_synth;
    MessageBoxes &m_messages;
    UndoCommands &m_undo;
    QWidget &m_window;
};
