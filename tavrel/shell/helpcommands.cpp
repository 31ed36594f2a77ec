#include "shell/helpcommands.h"

#include "platform/speechsynth.h"
#include "shell/aboutdialog.h"
#include "shell/helplocation.h"
#include "shell/helpwindow.h"

HelpCommands::HelpCommands(const Parts &parts)
    : m_parts(parts)
{
    if (m_parts.helpFolders.isEmpty())
        m_parts.helpFolders = HelpLocation::searchPaths();
}

HelpCommands::~HelpCommands() = default;

HelpWindow *HelpCommands::helpWindow() const
{
    return m_helpWindow;
}

void HelpCommands::contents()
{
    m_parts.synth->speak(QStringLiteral(
        "Welcome to Tavrel Help. You should explore all the contents to get more "
        "information about this program"));
    if (!m_helpWindow) {
        // Closing the window only hides it, so the manual stays where the user was.
        m_helpWindow = new HelpWindow(m_parts.helpFolders, m_parts.openUrl, m_parts.owner);
        if (m_parts.owner)
            m_helpWindow->setWindowIcon(m_parts.owner->windowIcon());
    }
    m_helpWindow->showContents();
}

void HelpCommands::aboutMe()
{
    // The main window takes no input until the box is closed; each About shows a
    // fresh box.
    AboutDialog about(m_parts.openUrl, m_parts.owner);
    if (m_parts.owner)
        about.setWindowIcon(m_parts.owner->windowIcon());
    about.exec();
}
