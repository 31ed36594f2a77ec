#pragma once

#include "shell/documentstate.h"

#include <QHash>
#include <QMainWindow>
#include <QStringList>

#include <functional>
#include <memory>

class CaseCommands;
class ClipboardCommands;
class ClrSelectHost;
class ColourCommands;
class CommonDialog;
class DocumentCommands;
class FontCommands;
class HelpCommands;
class InsertCommands;
class MessageBoxes;
class PadPopUp;
class PrintCommands;
class QActionGroup;
class QComboBox;
class QFrame;
class QLabel;
class QMenu;
class QPrinter;
class QPushButton;
class QScrollBar;
class QToolBar;
class QUrl;
class ReadOut;
class RichTextPad;
class ScriptCommands;
class SaveSpeech;
class SearchCommands;
class SpeechCommands;
class SpeechFileWriter;
class SpeechSynth;
class ToolbarKeys;
class UndoCommands;
class VoiceControls;
class VoiceMenu;
class WordCount;

// The program's only window: the pad under a toolbar, the teal panel with the
// speech and font controls, the menu bar and the pad's pop-up menu. Created first,
// then start() hands it the platform services and runs the start-up.
class Frmmain : public QMainWindow
{
    Q_OBJECT

public:
    struct Services {
        SpeechSynth *synth = nullptr;
        CommonDialog *dialogs = nullptr;
        MessageBoxes *messages = nullptr;
        // Writes speech to audio files ("Save Speech As..."); without it the item is
        // not offered.
        SpeechFileWriter *speechFiles = nullptr;
        // Ends the program at once; called once the settings are written.
        std::function<void()> terminate;
        // Settings.ini to read at start and write at exit; empty for the usual place
        // (beside the program when its folder is writable, else the user's
        // configuration folder).
        QString settingsPath;
        // The printer object of the run; none for the system's default printer.
        QPrinter *printer = nullptr;
        // Opens an address in the desktop's program for it (the About box's links).
        std::function<void(const QUrl &)> openUrl;
        // Folders the help collection is looked for in; empty for the usual places
        // (beside the program, then the installed help folder).
        QStringList helpFolders;
    };

    explicit Frmmain(QWidget *parent = nullptr);
    ~Frmmain() override;

    // Wires the services and runs the start-up sequence (the window's load).
    void start(const Services &services);

    RichTextPad *sayText() const { return m_sayText; }
    // Menu and pop-up items by name ("SaveAs", "mnuPopUp_Cut"); toolbar buttons by key.
    QAction *menuItem(const QString &name) const { return m_items.value(name); }
    QAction *toolbarButton(const QString &key) const { return m_toolButtons.value(key); }
    QMenu *popupMenu() const { return m_mnuPopUp; }
    DocumentState &documentState() { return m_document; }
    HelpCommands *helpCommands() const { return m_helpCommands.get(); }
    bool hasQuit() const { return m_quitting; }

    // The toolbar's single click handler, keyed by the button's key string.
    void toolbar1_ButtonClick(const QString &key);

    // Commands, named after the menu items and buttons that run them.
    void exitCommand();
    void saveSettingsAndQuit();
    // Opens a file named on the command line, once the start-up has run.
    void openFileAtStart(const QString &path);

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls();
    void nameControls();
    void createMenus();
    void createToolbar();
    void layoutControls();
    void setTabOrderByIndex();
    void claimShortcuts();

    QAction *addItem(QMenu *menu, const QString &name, const QString &caption,
                     const QKeySequence &shortcut, void (Frmmain::*command)());
    QAction *addPopupItem(const QString &name, const QString &caption,
                          void (Frmmain::*command)());
    QPushButton *addButton(const QString &name, const QString &caption, int left, int top,
                           int width, int height, const QColor &background);
    QLabel *addLabel(const QString &name, const QString &caption, int left, int top,
                     int width, int height, const QColor &foreground, bool centred = false);

    // Start-up steps.
    void load();
    void setupSpeech();
    void fillFontNames();
    void fillFontSizes();
    bool readSettings();
    void settingsFallback();
    void keepOnScreen();
    bool writeSettings();
    QString settingsPath() const;

    // Document files.
    void newDocument();
    void openDocument();
    void save();
    void saveAs();
    void saveSpeechAs();
    void cmdClear_Click();
    // Printing.
    void printMe();
    void toolbarPrint();
    // Undo history.
    void undoMe();
    void redoMe();
    // Clipboard, delete, select all.
    void cutMe();
    void copyMe();
    void pasteMe();
    void deleteMe();
    void selectMe();
    void toolbarCut();
    void toolbarCopy();
    void toolbarPaste();
    // Pictures, symbols, search, word count.
    void insertMe();
    void symbols();
    void findMe();
    void replaceMe();
    void countMe();
    // Formatting.
    void fontMe();
    void upperMe();
    void lowerMe();
    void sSuperScript();
    void sSubscript();
    void sNonScript();
    void fontColor();
    void toggleStyle(const QString &key);
    void align(const QString &key);
    // Speech menu.
    void readFromCaret();
    void readSelection();
    void highlightSpokenWords();
    // Help and About.
    void contents();
    void aboutMe();

    Services m_services;
    DocumentState m_document;
    std::unique_ptr<ReadOut> m_readOut;
    std::unique_ptr<VoiceControls> m_voiceControls;
    std::unique_ptr<UndoCommands> m_undoCommands;
    std::unique_ptr<DocumentCommands> m_documentCommands;
    std::unique_ptr<FontCommands> m_fontCommands;
    std::unique_ptr<ColourCommands> m_colourCommands;
    std::unique_ptr<ScriptCommands> m_scriptCommands;
    std::unique_ptr<CaseCommands> m_caseCommands;
    std::unique_ptr<SearchCommands> m_searchCommands;
    std::unique_ptr<PrintCommands> m_printCommands;
    std::unique_ptr<HelpCommands> m_helpCommands;
    std::unique_ptr<InsertCommands> m_insertCommands;
    std::unique_ptr<ClipboardCommands> m_clipboardCommands;
    std::unique_ptr<WordCount> m_wordCount;
    std::unique_ptr<PadPopUp> m_padPopUp;
    std::unique_ptr<SpeechCommands> m_speechCommands;
    std::unique_ptr<ToolbarKeys> m_toolbarKeys;
    std::unique_ptr<SaveSpeech> m_saveSpeech;
    std::unique_ptr<VoiceMenu> m_voiceMenu;
    bool m_quitting = false;

    QWidget *m_central = nullptr;
    RichTextPad *m_sayText = nullptr;
    QToolBar *m_toolbar1 = nullptr;
    QLabel *m_picFontColor = nullptr;
    QFrame *m_frame1 = nullptr;
    QPushButton *m_cmdOpen = nullptr;
    QPushButton *m_cmdExit = nullptr;
    QPushButton *m_cmdClear = nullptr;
    QPushButton *m_cmdResume = nullptr;
    QPushButton *m_cmdPause = nullptr;
    QPushButton *m_cmdStop = nullptr;
    QPushButton *m_cmdRead = nullptr;
    QComboBox *m_fntSize = nullptr;
    QComboBox *m_combo1 = nullptr;
    QWidget *m_clrSelect1 = nullptr;
    ClrSelectHost *m_clrSelectHost = nullptr;
    QScrollBar *m_slider2 = nullptr;
    QScrollBar *m_slider1 = nullptr;
    QLabel *m_pitchlbl = nullptr;
    QLabel *m_speedlbl = nullptr;

    QHash<QString, QAction *> m_items;
    QHash<QString, QAction *> m_toolButtons;
    QActionGroup *m_alignGroup = nullptr;
    QMenu *m_mnuPopUp = nullptr;
};
