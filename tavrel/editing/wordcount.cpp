#include "editing/wordcount.h"

#include "editing/sharedtext.h"
#include "editing/undocommands.h"
#include "platform/messageboxes.h"
#include "platform/speechsynth.h"

#include <QWidget>

namespace {

// Counts the words of a text handed over in runs, a word running on from one run
// into the next.
class Counter
{
public:
    void add(QStringView run)
    {
        for (const QChar c : run) {
            const char16_t u = c.unicode();
            bool space;
            if (u < 0x80) {
                space = u == u' ' || (u >= u'\t' && u <= u'\r');
            } else {
                // A picture has no text; frame marks stand where the plain text
                // has a line break.
                if (u == QChar::ObjectReplacementCharacter)
                    continue;
                space = QChar::isSpace(u) || u == 0xFDD0 || u == 0xFDD1;
            }
            m_words += qsizetype(!space && !m_inWord);
            m_inWord = !space;
        }
    }
    qsizetype words() const { return m_words; }

private:
    qsizetype m_words = 0;
    bool m_inWord = false;
};

} // namespace

WordCount::WordCount(SpeechSynth &synth, MessageBoxes &messages, UndoCommands &undo,
                     QWidget &window)
    : m_synth(synth)
    , m_messages(messages)
    , m_undo(undo)
    , m_window(window)
{
}

qsizetype WordCount::countWords(QStringView text)
{
    Counter counter;
    counter.add(text);
    return counter.words();
}

qsizetype WordCount::countWords(const SharedText &text)
{
    Counter counter;
    text.forEachChunk([&counter](QStringView run) { counter.add(run); });
    return counter.words();
}

void WordCount::countMe()
{
    m_window.setWindowTitle(QStringLiteral("Tavrel - Counting Words..."));
    const qsizetype words = countWords(m_undo.padText());
    m_window.setWindowTitle(QStringLiteral("Tavrel"));
    // The plural stays for a single word.
    const QString message =
        QStringLiteral("There are: ") + QString::number(words) + QStringLiteral(" Words");
    m_synth.speak(message);
    m_messages.show(message, QStringLiteral("Word Count"), MessageBoxes::Buttons::Ok,
                    MessageBoxes::Icon::Information);
}
