#include "search/searchcommands.h"

#include "platform/speechsynth.h"

SearchCommands::SearchCommands(SpeechSynth &synth, const SearchDialog::Parts &parts)
    : m_synth(synth)
    , m_parts(parts)
{
}

SearchCommands::~SearchCommands() = default;

void SearchCommands::findMe()
{
    m_synth.speak(QStringLiteral("What's the word do you want to find"));
    showDialog();
}

void SearchCommands::replaceMe()
{
    m_synth.speak(QStringLiteral("What's the word do you want to replace?"));
    showDialog();
}

void SearchCommands::showDialog()
{
    // Modeless and without an owner: the main window stays usable beside it.
    if (!m_find)
        m_find = std::make_unique<SearchDialog>(m_parts);
    m_find->show();
    m_find->raise();
    m_find->activateWindow();
}
