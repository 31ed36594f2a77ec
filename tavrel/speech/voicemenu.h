#pragma once

class QActionGroup;
class QMenu;
class SpeechSynth;

// The Voice submenu of the Speech menu: the synthesiser's voices, a submenu for each
// language, the voice in use checked. It is filled each time it opens, so that the
// catalogue is read only when first wanted. Choosing a voice gives it to the
// synthesiser; it is kept beside Settings.ini when the program ends.
class VoiceMenu
{
public:
    VoiceMenu(SpeechSynth &synth, QMenu &menu);

    // Lists the voices as they are now.
    void fill();

private:
    SpeechSynth &m_synth;
    QMenu &m_menu;
    QActionGroup *m_group = nullptr;
};
