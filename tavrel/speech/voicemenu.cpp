#include "speech/voicemenu.h"

#include "platform/speechsynth.h"

#include <QActionGroup>
#include <QMap>
#include <QMenu>

VoiceMenu::VoiceMenu(SpeechSynth &synth, QMenu &menu)
    : m_synth(synth)
    , m_menu(menu)
{
    QObject::connect(&m_menu, &QMenu::aboutToShow, &m_menu, [this] { fill(); });
    // Without voices to choose from the item would open on nothing.
    m_menu.menuAction()->setVisible(!m_synth.voice().isEmpty());
}

void VoiceMenu::fill()
{
    // The language submenus are the menu's children, which clear() leaves.
    const QList<QMenu *> languages = m_menu.findChildren<QMenu *>(Qt::FindDirectChildrenOnly);
    m_menu.clear();
    qDeleteAll(languages);
    delete m_group;
    m_group = new QActionGroup(&m_menu);
    m_group->setExclusive(true);

    QMap<QString, QList<VoiceInfo>> byLanguage;
    for (const VoiceInfo &voice : m_synth.voices()) {
        const QString language = voice.languageName.isEmpty() ? voice.language
                                                              : voice.languageName;
        byLanguage[language].append(voice);
    }
    const QString current = m_synth.voice();
    for (auto it = byLanguage.cbegin(); it != byLanguage.cend(); ++it) {
        QMenu *language = m_menu.addMenu(it.key());
        for (const VoiceInfo &voice : it.value()) {
            QAction *item = language->addAction(voice.name);
            item->setCheckable(true);
            item->setChecked(voice.id == current);
            item->setData(voice.id);
            m_group->addAction(item);
            const QString id = voice.id;
            QObject::connect(item, &QAction::triggered, &m_menu,
                             [this, id] { m_synth.setVoice(id); });
        }
    }
}
