// The document commands as the user meets them: New, Open, Save, Save As and Clear
// Pad, driven through the main window with the dialog and message-box doubles, and
// the files they leave on the disk.
#include "failingdisk.h"
#include "filebytes.h"
#include "windowfixture.h"

#include "platform/richtextpad.h"
#include "shell/documentcommands.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kSaveYourWork = QStringLiteral("Would you like to save your work?");
const QString kOpenPrompt = QStringLiteral("What's the text file do want to you open? Select it");
const QString kSaveAsPrompt = QStringLiteral("What would you like to save the document as?");


void run(WindowFixture &f, const char *item)
{
    f.window->menuItem(QString::fromLatin1(item))->trigger();
}

// The user changes the document by typing, as the flag is meant to be raised.
void typeInto(WindowFixture &f, const QString &text)
{
    QTest::keyClicks(f.window->sayText(), text);
}

void verifyFailureBox(const WindowFixture &f, const QString &text)
{
    QVERIFY(!f.messages.m_shown.isEmpty());
    const auto &box = f.messages.m_shown.constLast();
    QCOMPARE(box.text, text);
    QCOMPARE(box.title, QStringLiteral("Error"));
    QCOMPARE(box.buttons, MessageBoxes::Buttons::Ok);
    QCOMPARE(box.icon, MessageBoxes::Icon::Critical);
    QCOMPARE(f.synth.lastSpoken(), text);
}

} // namespace

class TstDocuments : public QObject
{
    Q_OBJECT

private slots:
    void newOnAnUnchangedDocumentAsksNothing();
    void newOnAChangedDocument_data();
    void newOnAChangedDocument();
    void newReportsAFailedWrite();
    void saveAsThenSaveWritesTheSameFile();
    void toolbarSaveChoosesSaveOrSaveAs();
    void savedFilesHoldThePlainText_data();
    void savedFilesHoldThePlainText();
    void rtfNamesKeepTheFormatting();
    void failedSaveAsChangesNothing();
    void failedSaveIsReportedAndKeepsTheOldFile();
    void fullDiskKeepsTheOldFile();
    void saveOverAFileInAReadOnlyFolder();
    void saveKeepsOwnerGroupAndPermissions();
    void saveOntoDevFull();
    void openReadsTheFileAloud();
    void openReadsOtherEncodingsAndLineEnds();
    void openCancelledChangesNothing();
    void openOfAnUnreadableFile_data();
    void openOfAnUnreadableFile();
    void openOnAChangedDocumentAsksFirst();
    void openFromTheCommandLine();
    void dialogKeepsFilterAndNameBetweenCommands();
    void clearPadSilencesAndKeepsTheState();
};

void TstDocuments::newOnAnUnchangedDocumentAsksNothing()
{
    WindowFixture f;
    f.window->sayText()->setText(QStringLiteral("as saved"));
    f.window->documentState().textChanged = false;
    f.synth.clear();
    run(f, "New");
    QVERIFY(f.messages.m_shown.isEmpty());
    QCOMPARE(f.synth.m_calls,
             (QStringList{"stop", QStringLiteral("speak:New document created.")}));
    QCOMPARE(f.window->sayText()->text(), QString());
    QCOMPARE(f.window->documentState().documentName,
             QStringLiteral("Document name: Untitled.txt"));
}

void TstDocuments::newOnAChangedDocument_data()
{
    QTest::addColumn<bool>("answerYes");
    QTest::addColumn<bool>("cancelDialog");
    QTest::addColumn<bool>("reset");
    QTest::newRow("no") << false << false << true;
    QTest::newRow("yes, saved") << true << false << true;
    QTest::newRow("yes, then cancel") << true << true << false;
}

void TstDocuments::newOnAChangedDocument()
{
    QFETCH(bool, answerYes);
    QFETCH(bool, cancelDialog);
    QFETCH(bool, reset);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("work.txt"));
    WindowFixture f;
    typeInto(f, QStringLiteral("my work"));
    f.messages.m_answers << (answerYes ? MessageBoxes::Answer::Yes : MessageBoxes::Answer::No);
    if (cancelDialog)
        f.dialogs.answerCancel(QStringLiteral("save"));
    else
        f.dialogs.answerFile(QStringLiteral("save"), path);
    f.synth.clear();
    run(f, "New");

    QCOMPARE(f.messages.m_shown.size(), 1);
    QCOMPARE(f.messages.m_shown.first().text, kSaveYourWork);
    QCOMPARE(f.messages.m_shown.first().title, QStringLiteral("Tavrel"));
    QCOMPARE(f.messages.m_shown.first().buttons, MessageBoxes::Buttons::YesNo);
    QCOMPARE(f.messages.m_shown.first().icon, MessageBoxes::Icon::Question);
    QCOMPARE(f.synth.spoken().first(), kSaveYourWork);
    QCOMPARE(QFileInfo::exists(path), answerYes && !cancelDialog);
    if (answerYes && !cancelDialog)
        QCOMPARE(readBytes(path), QByteArray("my work\n"));
    if (reset) {
        QCOMPARE(f.window->sayText()->text(), QString());
        QVERIFY(!f.window->documentState().textChanged);
        QCOMPARE(f.synth.lastSpoken(), QStringLiteral("New document created."));
    } else {
        // Nothing changes and nothing more is said after the question.
        QCOMPARE(f.window->sayText()->text(), QStringLiteral("my work"));
        QVERIFY(f.window->documentState().textChanged);
        QCOMPARE(f.synth.spoken(), QStringList{kSaveYourWork});
    }
}

void TstDocuments::newReportsAFailedWrite()
{
    QTemporaryDir dir;
    WindowFixture f;
    typeInto(f, QStringLiteral("keep me"));
    f.messages.m_answers << MessageBoxes::Answer::Yes;
    f.dialogs.answerFile(QStringLiteral("save"), dir.filePath(QStringLiteral("no/such/x.txt")));
    run(f, "New");
    verifyFailureBox(f, QStringLiteral("Can't save file."));
    QCOMPARE(f.window->sayText()->text(), QStringLiteral("keep me"));
    QVERIFY(f.window->documentState().textChanged);
}

void TstDocuments::saveAsThenSaveWritesTheSameFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("notes.txt"));
    WindowFixture f;
    typeInto(f, QStringLiteral("first"));
    f.dialogs.answerFile(QStringLiteral("save"), path);
    f.synth.clear();
    run(f, "SaveAs");
    QCOMPARE(f.synth.m_calls.first(), QStringLiteral("stop"));
    QCOMPARE(f.synth.spoken(),
             (QStringList{kSaveAsPrompt, QStringLiteral("Document saved as notes.txt")}));
    QCOMPARE(readBytes(path), QByteArray("first\n"));
    DocumentState &state = f.window->documentState();
    QCOMPARE(state.currentFile, path);
    QVERIFY(state.saveEnabled());
    QVERIFY(!state.textChanged);

    typeInto(f, QStringLiteral(" and second"));
    QVERIFY(state.textChanged);
    f.synth.clear();
    run(f, "Save");
    QCOMPARE(f.dialogs.m_shown.size(), 1);
    QCOMPARE(readBytes(path), QByteArray("first and second\n"));
    QCOMPARE(f.synth.spoken(), QStringList{QStringLiteral("Saved notes.txt")});
    QVERIFY(!state.textChanged);
}

void TstDocuments::toolbarSaveChoosesSaveOrSaveAs()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("t.txt"));
    WindowFixture f;
    // Before any Save As, the key runs Save As (a dialog).
    f.dialogs.answerFile(QStringLiteral("save"), path);
    f.window->toolbar1_ButtonClick(QStringLiteral("Save"));
    QCOMPARE(f.dialogs.m_shown.size(), 1);
    QVERIFY(f.window->documentState().saveEnabled());
    // After it, Save (no dialog).
    typeInto(f, QStringLiteral("x"));
    f.window->toolbar1_ButtonClick(QStringLiteral("Save"));
    QCOMPARE(f.dialogs.m_shown.size(), 1);
    QCOMPARE(readBytes(path), QByteArray("x\n"));
    // New disables Save again, and the key runs Save As once more.
    run(f, "New");
    QVERIFY(!f.window->documentState().saveEnabled());
    QVERIFY(!f.window->menuItem(QStringLiteral("Save"))->isEnabled());
    f.dialogs.answerCancel(QStringLiteral("save"));
    f.window->toolbar1_ButtonClick(QStringLiteral("Save"));
    QCOMPARE(f.dialogs.m_shown.size(), 2);
}

void TstDocuments::savedFilesHoldThePlainText_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty pad") << "empty.txt" << QString() << false << QByteArray("\n");
    QTest::newRow("lines and accents")
        << "lines.txt" << QStringLiteral("caf\u00e9 \u20ac\nsecond line\n\nend") << false
        << QByteArray("caf\xc3\xa9 \xe2\x82\xac\nsecond line\n\nend\n");
    // Only a name ending in .rtf keeps the formatting.
    for (const char *name : {"styled.rtf.txt", "styled.rtfx", "rtf"}) {
        QTest::newRow(name) << name << QStringLiteral("bold words") << true
                            << QByteArray("bold words\n");
    }
}

void TstDocuments::savedFilesHoldThePlainText()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(bool, bold);
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    WindowFixture f;
    f.window->sayText()->setText(text);
    if (bold) {
        f.window->sayText()->selectAll();
        f.window->sayText()->setSelBold(true);
    }
    f.dialogs.answerFile(QStringLiteral("save"), path);
    run(f, "SaveAs");
    QCOMPARE(readBytes(path), bytes);
    // What was written reads back as the same text.
    f.dialogs.answerFile(QStringLiteral("open"), path);
    run(f, "OpenSpeech");
    QCOMPARE(f.window->sayText()->text(), text + QLatin1Char('\n'));
}

void TstDocuments::rtfNamesKeepTheFormatting()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Styled.RTF"));
    WindowFixture f;
    RichTextPad *pad = f.window->sayText();
    typeInto(f, QStringLiteral("plain "));
    pad->setSelBold(true);
    typeInto(f, QStringLiteral("bold"));
    f.dialogs.answerFile(QStringLiteral("save"), path);
    run(f, "SaveAs");
    QVERIFY(readBytes(path).startsWith("{\\rtf1\\ansi\\ansicpg1252"));
    QCOMPARE(f.synth.lastSpoken(), QStringLiteral("Document saved as Styled.RTF"));

    // Save writes RTF too, the edit included.
    typeInto(f, QStringLiteral(" more"));
    run(f, "Save");
    f.dialogs.answerFile(QStringLiteral("open"), path);
    run(f, "OpenSpeech");
    QCOMPARE(pad->text(), QStringLiteral("plain bold more"));
    pad->setSelStart(0);
    pad->setSelLength(5);
    QCOMPARE(pad->selBold(), std::optional<bool>(false));
    pad->setSelStart(6);
    pad->setSelLength(9);
    QCOMPARE(pad->selBold(), std::optional<bool>(true));
}

void TstDocuments::failedSaveAsChangesNothing()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("locked"));
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/old.txt");
    QVERIFY(writeBytes(path, "the old file\n"));
    UnwritableFolder locked(folder);
    UnwritableFile lockedFile(path);
    if (!locked.ok() || !lockedFile.ok())
        QSKIP("No way to make a folder unwritable here");

    WindowFixture f;
    typeInto(f, QStringLiteral("new text"));
    f.dialogs.answerFile(QStringLiteral("save"), path);
    run(f, "SaveAs");
    verifyFailureBox(f, QStringLiteral("Can't open file."));
    QCOMPARE(readBytes(path), QByteArray("the old file\n"));
    const DocumentState &state = f.window->documentState();
    QVERIFY(state.currentFile.isEmpty());
    QVERIFY(!state.saveEnabled());
    QVERIFY(state.textChanged);
}

void TstDocuments::failedSaveIsReportedAndKeepsTheOldFile()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("docs"));
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/doc.txt");
    WindowFixture f;
    typeInto(f, QStringLiteral("saved once"));
    f.dialogs.answerFile(QStringLiteral("save"), path);
    run(f, "SaveAs");
    QCOMPARE(readBytes(path), QByteArray("saved once\n"));

    typeInto(f, QStringLiteral(", changed"));
    UnwritableFolder locked(folder);
    UnwritableFile lockedFile(path);
    if (!locked.ok() || !lockedFile.ok())
        QSKIP("No way to make a folder unwritable here");
    f.synth.clear();
    run(f, "Save");
    verifyFailureBox(f, QStringLiteral("Can't save file."));
    QVERIFY(!f.synth.spoken().contains(QStringLiteral("Saved doc.txt")));
    QVERIFY(f.window->documentState().textChanged);
    QCOMPARE(readBytes(path), QByteArray("saved once\n"));
}

void TstDocuments::fullDiskKeepsTheOldFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.txt"));
    QVERIFY(writeBytes(path, "short old file\n"));
    WindowFixture f;
    f.window->sayText()->setText(QString(200'000, QLatin1Char('z')));
    typeInto(f, QStringLiteral("!"));
    f.dialogs.answerFile(QStringLiteral("save"), path);
    {
        // The disk fills up after 64 KiB of the new file.
        FileSizeLimit full(64 * 1024);
        QVERIFY(full.ok());
        run(f, "SaveAs");
    }
    verifyFailureBox(f, QStringLiteral("Can't open file."));
    QCOMPARE(readBytes(path), QByteArray("short old file\n"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"big.txt"});

    // With room again, the same command succeeds.
    f.dialogs.answerFile(QStringLiteral("save"), path);
    run(f, "SaveAs");
    QCOMPARE(readBytes(path).size(), 200'002);
}

void TstDocuments::saveOverAFileInAReadOnlyFolder()
{
    // No temporary file can be made beside the file, but the file itself is writable.
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("shared"));
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/notes.txt");
    QVERIFY(writeBytes(path, "old\n"));
    WindowFixture f;
    typeInto(f, QStringLiteral("new notes"));
    UnwritableFolder locked(folder);
    if (!locked.ok())
        QSKIP("No way to make a folder unwritable here");
    {
        // Without room for the new text, the old file stays whole.
        FileSizeLimit full(4);
        QVERIFY(full.ok());
        f.dialogs.answerFile(QStringLiteral("save"), path);
        run(f, "SaveAs");
    }
    verifyFailureBox(f, QStringLiteral("Can't open file."));
    QCOMPARE(readBytes(path), QByteArray("old\n"));

    f.dialogs.answerFile(QStringLiteral("save"), path);
    run(f, "SaveAs");
    QCOMPARE(readBytes(path), QByteArray("new notes\n"));
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{"notes.txt"});
    QCOMPARE(f.window->documentState().currentFile, path);
    QVERIFY(!f.window->documentState().textChanged);
}

void TstDocuments::saveKeepsOwnerGroupAndPermissions()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("theirs.txt"));
    QVERIFY(writeBytes(path, "theirs\n"));
    const QByteArray name = QFile::encodeName(path);
    QCOMPARE(::chmod(name.constData(), 0640), 0);
    // Root gives the file to another user; anyone else to another group of theirs.
    uid_t owner = ::geteuid();
    gid_t group = ::getegid();
    if (owner == 0) {
        owner = 65534;
        group = 65534;
    } else {
        gid_t groups[64];
        const int count = ::getgroups(64, groups);
        for (int i = 0; i < count; ++i) {
            if (groups[i] != group) {
                group = groups[i];
                break;
            }
        }
        if (group == ::getegid())
            QSKIP("This user has no other group to keep");
    }
    QCOMPARE(::chown(name.constData(), owner, group), 0);

    WindowFixture f;
    typeInto(f, QStringLiteral("rewritten"));
    f.dialogs.answerFile(QStringLiteral("save"), path);
    run(f, "SaveAs");
    QCOMPARE(readBytes(path), QByteArray("rewritten\n"));
    struct stat after;
    QCOMPARE(::stat(name.constData(), &after), 0);
    QCOMPARE(after.st_uid, owner);
    QCOMPARE(after.st_gid, group);
    QCOMPARE(after.st_mode & 07777, mode_t(0640));
}

void TstDocuments::saveOntoDevFull()
{
    const QString devFull = QStringLiteral("/dev/full");
    struct stat before;
    if (::stat("/dev/full", &before) != 0 || !S_ISCHR(before.st_mode))
        QSKIP("No /dev/full here");
    WindowFixture f;
    typeInto(f, QStringLiteral("nowhere to go"));
    f.dialogs.answerFile(QStringLiteral("save"), devFull);
    run(f, "SaveAs");
    verifyFailureBox(f, QStringLiteral("Can't open file."));
    QVERIFY(f.window->documentState().currentFile.isEmpty());
    // The device is written to, never replaced by a file.
    struct stat after;
    QCOMPARE(::stat("/dev/full", &after), 0);
    QVERIFY(S_ISCHR(after.st_mode));
    QCOMPARE(after.st_rdev, before.st_rdev);
}

void TstDocuments::openReadsTheFileAloud()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("story.txt"));
    QVERIFY(writeBytes(path, "Once upon a time.\nThe end.\n"));
    QTemporaryDir saveDir;
    WindowFixture f;
    // A Save As first, so that Save is enabled before the Open.
    f.dialogs.answerFile(QStringLiteral("save"), saveDir.filePath(QStringLiteral("a.txt")));
    run(f, "SaveAs");
    f.dialogs.answerFile(QStringLiteral("open"), path);
    f.synth.clear();
    f.window->findChild<QPushButton *>(QStringLiteral("cmdOpen"))->click();

    QCOMPARE(f.window->sayText()->text(), QStringLiteral("Once upon a time.\nThe end.\n"));
    QCOMPARE(f.synth.m_calls,
             (QStringList{"speak:" + kOpenPrompt, "speak:Once upon a time.\nThe end.\n"}));
    const auto &shown = f.dialogs.m_shown.constLast();
    QCOMPARE(shown.kind, QStringLiteral("open"));
    QCOMPARE(shown.filter, DocumentCommands::openFilter());
    QCOMPARE(shown.filterIndex, 2);
    QVERIFY(f.child<QPushButton>(QStringLiteral("cmdStop"))->isVisibleTo(f.window.get()));
    QVERIFY(!f.child<QPushButton>(QStringLiteral("cmdRead"))->isVisibleTo(f.window.get()));
    // The opened file is a document of its own: unchanged, and not the target of a
    // plain Save.
    QVERIFY(!f.window->documentState().textChanged);
    QVERIFY(!f.window->documentState().saveEnabled());
}

void TstDocuments::openReadsOtherEncodingsAndLineEnds()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("old.txt"));
    // Windows-1252 (not valid UTF-8) with carriage-return line ends.
    QVERIFY(writeBytes(path, "caf\xe9 \x80\r\nline two\rthree"));
    WindowFixture f;
    f.dialogs.answerFile(QStringLiteral("open"), path);
    run(f, "OpenSpeech");
    QCOMPARE(f.window->sayText()->text(),
             QStringLiteral("caf\u00e9 \u20ac\nline two\nthree"));
}

void TstDocuments::openCancelledChangesNothing()
{
    WindowFixture f;
    f.window->sayText()->setText(QStringLiteral("stays"));
    f.window->documentState().textChanged = false;
    f.dialogs.answerCancel(QStringLiteral("open"));
    f.synth.clear();
    run(f, "OpenSpeech");
    QCOMPARE(f.window->sayText()->text(), QStringLiteral("stays"));
    QCOMPARE(f.synth.m_calls, QStringList{"speak:" + kOpenPrompt});
    QVERIFY(f.messages.m_shown.isEmpty());

    // An empty name counts as a cancel.
    f.dialogs.answerFile(QStringLiteral("open"), QString());
    run(f, "OpenSpeech");
    QCOMPARE(f.window->sayText()->text(), QStringLiteral("stays"));
    QVERIFY(f.messages.m_shown.isEmpty());
}

void TstDocuments::openOfAnUnreadableFile_data()
{
    QTest::addColumn<QString>("what");
    QTest::newRow("missing") << "missing";
    QTest::newRow("folder") << "folder";
    QTest::newRow("no permission") << "permission";
    // Neither an endless device nor a FIFO without a writer holds the program up.
    QTest::newRow("device") << "device";
    QTest::newRow("fifo") << "fifo";
}

void TstDocuments::openOfAnUnreadableFile()
{
    QFETCH(QString, what);
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("missing.txt"));
    if (what == QLatin1String("folder")) {
        path = dir.path();
    } else if (what == QLatin1String("permission")) {
        path = dir.filePath(QStringLiteral("secret.txt"));
        QVERIFY(writeBytes(path, "secret"));
        QFile::setPermissions(path, QFileDevice::WriteOwner);
        QFile probe(path);
        if (probe.open(QIODevice::ReadOnly))
            QSKIP("Permissions do not stop this user from reading");
    } else if (what == QLatin1String("device")) {
        path = QStringLiteral("/dev/zero");
        if (!QFileInfo::exists(path))
            QSKIP("No /dev/zero here");
    } else if (what == QLatin1String("fifo")) {
        path = dir.filePath(QStringLiteral("pipe.txt"));
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
    }
    WindowFixture f;
    typeInto(f, QStringLiteral("mine"));
    f.window->documentState().textChanged = false;
    f.dialogs.answerFile(QStringLiteral("open"), path);
    run(f, "OpenSpeech");
    verifyFailureBox(f, QStringLiteral("Can't open file."));
    QCOMPARE(f.window->sayText()->text(), QStringLiteral("mine"));
    QVERIFY(f.child<QPushButton>(QStringLiteral("cmdRead"))->isVisibleTo(f.window.get()));
    // The history is untouched: Undo still goes back before the last key.
    run(f, "UndoMe");
    QCOMPARE(f.window->sayText()->text(), QStringLiteral("min"));
}

void TstDocuments::openFromTheCommandLine()
{
    QTemporaryDir dir;
    QVERIFY(writeBytes(dir.filePath(QStringLiteral("story.txt")), "Read me first.\n"));
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    WindowFixture f;
    // The start-up runs whole first: its greeting comes before the file.
    f.window->openFileAtStart(QStringLiteral("story.txt"));
    QDir::setCurrent(before);
    QCOMPARE(f.synth.spoken(),
             (QStringList{"Welcome to Tavrel. Enjoy your reading now!", "Read me first.\n"}));
    QCOMPARE(f.window->sayText()->text(), QStringLiteral("Read me first.\n"));
    QVERIFY(f.child<QPushButton>(QStringLiteral("cmdStop"))->isVisibleTo(f.window.get()));
    // No dialog is shown, but the next one starts at the file, as after Open.
    QVERIFY(f.dialogs.m_shown.isEmpty());
    QCOMPARE(f.dialogs.fileName(), dir.filePath(QStringLiteral("story.txt")));
    QVERIFY(!f.window->documentState().textChanged);

    WindowFixture missing;
    missing.window->openFileAtStart(dir.filePath(QStringLiteral("gone.txt")));
    verifyFailureBox(missing, QStringLiteral("Can't open file."));
    QVERIFY(missing.window->sayText()->text().isEmpty());
    QVERIFY(missing.child<QPushButton>(QStringLiteral("cmdRead"))
                ->isVisibleTo(missing.window.get()));
}

void TstDocuments::openOnAChangedDocumentAsksFirst()
{
    QTemporaryDir dir;
    const QString opened = dir.filePath(QStringLiteral("other.txt"));
    QVERIFY(writeBytes(opened, "other"));
    const QString saved = dir.filePath(QStringLiteral("saved.txt"));
    WindowFixture f;
    typeInto(f, QStringLiteral("unsaved"));

    // Yes, then Cancel in the Save dialog: the Open is abandoned.
    f.messages.m_answers << MessageBoxes::Answer::Yes;
    f.dialogs.answerCancel(QStringLiteral("save"));
    f.dialogs.answerFile(QStringLiteral("open"), opened);
    f.synth.clear();
    run(f, "OpenSpeech");
    QCOMPARE(f.synth.spoken(), QStringList{kSaveYourWork});
    QCOMPARE(f.messages.m_shown.constLast().text, kSaveYourWork);
    QCOMPARE(f.window->sayText()->text(), QStringLiteral("unsaved"));
    QVERIFY(f.window->documentState().textChanged);
    QCOMPARE(f.dialogs.m_shown.constLast().kind, QStringLiteral("save"));

    // Yes and a file: saved, then opened.
    f.messages.m_answers << MessageBoxes::Answer::Yes;
    f.dialogs.answerFile(QStringLiteral("save"), saved);
    run(f, "OpenSpeech");
    QCOMPARE(readBytes(saved), QByteArray("unsaved\n"));
    QCOMPARE(f.window->sayText()->text(), QStringLiteral("other"));
    QVERIFY(!f.window->documentState().textChanged);

    // No: opened without saving.
    typeInto(f, QStringLiteral("?"));
    f.messages.m_answers << MessageBoxes::Answer::No;
    f.dialogs.answerFile(QStringLiteral("open"), opened);
    run(f, "OpenSpeech");
    QCOMPARE(f.window->sayText()->text(), QStringLiteral("other"));
    QCOMPARE(readBytes(saved), QByteArray("unsaved\n"));
}

void TstDocuments::dialogKeepsFilterAndNameBetweenCommands()
{
    QTemporaryDir dir;
    const QString opened = dir.filePath(QStringLiteral("read.txt"));
    QVERIFY(writeBytes(opened, "text"));
    WindowFixture f;
    // At start the Save dialog shows the design filter.
    f.dialogs.answerCancel(QStringLiteral("save"));
    run(f, "SaveAs");
    QCOMPARE(f.dialogs.m_shown.constLast().filter, CommonDialog::designFilter());

    f.dialogs.answerFile(QStringLiteral("open"), opened);
    run(f, "OpenSpeech");
    // Save As, and New's Save dialog, show the Open filter with text files chosen and
    // the name last chosen.
    f.dialogs.answerCancel(QStringLiteral("save"));
    run(f, "SaveAs");
    QCOMPARE(f.dialogs.m_shown.constLast().filter, DocumentCommands::openFilter());
    QCOMPARE(f.dialogs.m_shown.constLast().filterIndex, 2);
    QCOMPARE(f.dialogs.m_shown.constLast().fileName, opened);
    typeInto(f, QStringLiteral("x"));
    f.messages.m_answers << MessageBoxes::Answer::Yes;
    f.dialogs.answerCancel(QStringLiteral("save"));
    run(f, "New");
    QCOMPARE(f.dialogs.m_shown.constLast().kind, QStringLiteral("save"));
    QCOMPARE(f.dialogs.m_shown.constLast().filter, DocumentCommands::openFilter());
    QCOMPARE(f.dialogs.m_shown.constLast().filterIndex, 2);
}

void TstDocuments::clearPadSilencesAndKeepsTheState()
{
    WindowFixture f;
    typeInto(f, QStringLiteral("read me"));
    f.window->findChild<QPushButton *>(QStringLiteral("cmdRead"))->click();
    QVERIFY(f.child<QPushButton>(QStringLiteral("cmdStop"))->isVisibleTo(f.window.get()));
    f.synth.clear();
    f.window->findChild<QPushButton *>(QStringLiteral("cmdClear"))->click();
    QCOMPARE(f.window->sayText()->text(), QString());
    QCOMPARE(f.synth.m_calls, QStringList{"stop"});
    QVERIFY(f.child<QPushButton>(QStringLiteral("cmdRead"))->isVisibleTo(f.window.get()));
    QVERIFY(!f.child<QPushButton>(QStringLiteral("cmdStop"))->isVisibleTo(f.window.get()));
    QVERIFY(f.window->documentState().textChanged);
    QVERIFY(!f.window->documentState().saveEnabled());
}

QTEST_MAIN(TstDocuments)
#include "tst_documents.moc"
