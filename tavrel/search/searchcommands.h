#pragma once

#include "search/searchdialog.h"

#include <memory>

class SpeechSynth;

// Find and Replace: each speaks its prompt and shows the one Search & Replace
// dialog, made on first use and kept for the run; showing it again brings it to the
// front as it was left.
class SearchCommands
{
public:
    SearchCommands(SpeechSynth &synth, const SearchDialog::Parts &parts);
    ~SearchCommands();

    void findMe();
    void replaceMe();

    // The dialog, once a command has made it.
    SearchDialog *dialog() const { return m_find.get(); }

private:
    void showDialog();

    SpeechSynth &m_synth;
    SearchDialog::Parts m_parts;
    std::unique_ptr<SearchDialog> m_find;
};
