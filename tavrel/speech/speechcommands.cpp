#include "speech/speechcommands.h"

#include "platform/richtextpad.h"
#include "speech/readout.h"

#include <QAction>
#include <QLabel>
#include <QTimer>

namespace {

// Long enough to be read, short enough not to stand in the way.
constexpr int kNoticeMs = 10000;

} // namespace

SpeechCommands::SpeechCommands(ReadOut &readOut, RichTextPad &pad, QAction &highlightItem,
                               const QString &preferencesPath)
    : m_readOut(readOut)
    , m_pad(pad)
    , m_highlightItem(highlightItem)
    , m_preferencesPath(preferencesPath)
{
    m_preferences.load(m_preferencesPath);
    m_highlightItem.setCheckable(true);
    m_highlightItem.setChecked(m_preferences.highlightSpokenWords);
    m_readOut.setHighlighting(m_preferences.highlightSpokenWords);

    // A line along the foot of the pad, over the text, that goes by itself.
    m_notice = new QLabel(m_pad.viewport());
    m_notice->setObjectName(QStringLiteral("soundNotice"));
    m_notice->setWordWrap(true);
    m_notice->setAutoFillBackground(true);
    m_notice->setFrameShape(QFrame::StyledPanel);
    m_notice->setMargin(3);
    m_notice->setPalette(QPalette(QColor(255, 255, 225)));
    m_notice->hide();
    m_noticeTimer = new QTimer(m_notice);
    m_noticeTimer->setSingleShot(true);
    m_noticeTimer->setInterval(kNoticeMs);
    QObject::connect(m_noticeTimer, &QTimer::timeout, m_notice, &QWidget::hide);
    m_readOut.setNotice([this](const QString &reason) { showNotice(reason); });
}

SpeechCommands::~SpeechCommands()
{
    m_readOut.setNotice({});
}

void SpeechCommands::readFromCaret()
{
    m_readOut.readFromCaret();
}

void SpeechCommands::readSelection()
{
    m_readOut.readSelection();
}

void SpeechCommands::highlightSpokenWords()
{
    m_preferences.highlightSpokenWords = m_highlightItem.isChecked();
    m_readOut.setHighlighting(m_preferences.highlightSpokenWords);
    // The other preferences as the file has them now (the voice is kept on leaving).
    SpeechPreferences kept;
    kept.load(m_preferencesPath);
    kept.highlightSpokenWords = m_preferences.highlightSpokenWords;
    // A preference that cannot be kept still holds for this run.
    kept.save(m_preferencesPath);
}

void SpeechCommands::showNotice(const QString &reason)
{
    m_notice->setText(QStringLiteral("Speech cannot be heard: ") + reason);
    m_notice->setAccessibleName(m_notice->text());
    const QRect area = m_pad.viewport()->rect();
    const int height = m_notice->heightForWidth(area.width()) > 0
        ? m_notice->heightForWidth(area.width())
        : m_notice->sizeHint().height();
    m_notice->setGeometry(0, area.bottom() - height + 1, area.width(), height);
    m_notice->show();
    m_notice->raise();
    m_noticeTimer->start();
}
