// Insert Picture from the main window: the shared dialog's picture filter, the
// picture at the very end of the pad, on the clipboard and in the font-colour
// swatch, and the silent end of a cancelled dialog or a file that is no picture.
#include "../shell/filebytes.h"
#include "../shell/windowfixture.h"

#include "platform/richtextpad.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QMimeData>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>

namespace {

const QString kFilter = QStringLiteral("All Image Files (*.*)|*.*|Windows Bitmap (*.bmp)|*.bmp|"
                                       "JPEG (*.JPG)|*.JPG|Compuserve GIF (*.GIF)|*.GIF");

// The size of the picture embedded as the document's last character, or an empty
// size when the last character is no picture.
QSize pictureAtTheEnd(RichTextPad *pad)
{
    QTextCursor cursor(pad->document());
    cursor.movePosition(QTextCursor::End);
    cursor.movePosition(QTextCursor::PreviousCharacter, QTextCursor::KeepAnchor);
    if (cursor.selectedText() != QString(QChar::ObjectReplacementCharacter))
        return {};
    cursor.clearSelection();
    cursor.movePosition(QTextCursor::End);
    const QTextImageFormat format = cursor.charFormat().toImageFormat();
    const QVariant image =
        pad->document()->resource(QTextDocument::ImageResource, QUrl(format.name()));
    return image.value<QImage>().size();
}

int picturesIn(RichTextPad *pad)
{
    return int(pad->document()->toRawText().count(QChar::ObjectReplacementCharacter));
}

QString picture(const QTemporaryDir &dir, const QString &name, const char *format)
{
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(QColor(200, 40, 40));
    const QString path = dir.filePath(name);
    return image.save(path, format) ? path : QString();
}

} // namespace

class TstInsertPicture : public QObject
{
    Q_OBJECT

private slots:
    void pictureLandsAtTheEnd_data();
    void pictureLandsAtTheEnd();
    void noPictureEndsSilently();
};

void TstInsertPicture::pictureLandsAtTheEnd_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("format");
    QTest::addColumn<QString>("how");
    QTest::newRow("PNG from the menu") << "photo.png" << QByteArray("PNG") << "menu";
    // The content decides, not the name.
    QTest::newRow("JPEG named .bmp, Ctrl+I")
        << "photo.bmp" << QByteArray("JPEG") << "Ctrl+I";
    QTest::newRow("bitmap from the toolbar") << "photo.bmp" << QByteArray("BMP") << "toolbar";
}

void TstInsertPicture::pictureLandsAtTheEnd()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, format);
    QFETCH(QString, how);
    QTemporaryDir dir;
    const QString path = picture(dir, file, format.constData());
    QVERIFY(!path.isEmpty());

    WindowFixture f;
    f.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    f.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    RichTextPad *pad = f.window->sayText();
    pad->setText(QStringLiteral("hello world"));
    f.window->documentState().textChanged = false;
    pad->setSelStart(5);
    QGuiApplication::clipboard()->setText(QStringLiteral("copied before"));
    f.dialogs.answerFile(QStringLiteral("open"), path);
    f.synth.clear();
    if (how == QLatin1String("menu"))
        f.window->menuItem(QStringLiteral("InsertMe"))->trigger();
    else if (how == QLatin1String("toolbar"))
        f.window->toolbarButton(QStringLiteral("Insert Picture"))->trigger();
    else
        QTest::keyClick(pad, Qt::Key_I, Qt::ControlModifier);

    QCOMPARE(f.synth.spoken(),
             QStringList{QStringLiteral("What's the picture do you want to insert?")});
    QCOMPARE(f.dialogs.m_shown.size(), 1);
    QCOMPARE(f.dialogs.m_shown.at(0).kind, QStringLiteral("open"));
    QCOMPARE(f.dialogs.m_shown.at(0).filter, kFilter);
    QCOMPARE(f.dialogs.m_shown.at(0).filterIndex, 2);
    QVERIFY(f.dialogs.cancelError());

    // After the last character, whatever the caret's place; the text stays as it was.
    QCOMPARE(pictureAtTheEnd(pad), QSize(40, 30));
    QCOMPARE(picturesIn(pad), 1);
    QCOMPARE(pad->text(), QStringLiteral("hello world"));
    const QMimeData *clip = QGuiApplication::clipboard()->mimeData();
    QVERIFY(clip->hasImage());
    QVERIFY(!clip->hasText());
    QCOMPARE(qvariant_cast<QImage>(clip->imageData()).size(), QSize(40, 30));
    QVERIFY(!f.child<QLabel>(QStringLiteral("picFontColor"))->pixmap().isNull());

    // A change to keep: Exit would ask, and Undo takes the picture back.
    QVERIFY(f.window->documentState().textChanged);
    f.window->menuItem(QStringLiteral("UndoMe"))->trigger();
    QCOMPARE(picturesIn(pad), 0);
    QCOMPARE(pad->text(), QStringLiteral("hello world"));
}

void TstInsertPicture::noPictureEndsSilently()
{
    QTemporaryDir dir;
    const QString text = dir.filePath(QStringLiteral("notes.txt"));
    QVERIFY(writeBytes(text, "not a picture\n"));
    const QString png = picture(dir, QStringLiteral("one.png"), "PNG");

    WindowFixture f;
    RichTextPad *pad = f.window->sayText();
    pad->setText(QStringLiteral("text"));
    // Setting the text is a change of its own; what follows must add none.
    f.window->documentState().textChanged = false;
    auto *swatch = f.child<QLabel>(QStringLiteral("picFontColor"));
    QClipboard *clipboard = QGuiApplication::clipboard();
    QAction *insert = f.window->menuItem(QStringLiteral("InsertMe"));

    f.synth.clear();
    // Cancelled: nothing changes, not even the clipboard.
    clipboard->setText(QStringLiteral("kept"));
    f.dialogs.answerCancel(QStringLiteral("open"));
    insert->trigger();
    QCOMPARE(clipboard->text(), QStringLiteral("kept"));

    // A text file chosen under "All Image Files": the clipboard is emptied, and
    // nothing else happens.
    f.dialogs.answerFile(QStringLiteral("open"), text);
    insert->trigger();
    QVERIFY(!clipboard->mimeData()->hasText());
    QVERIFY(!clipboard->mimeData()->hasImage());
    QCOMPARE(picturesIn(pad), 0);
    QVERIFY(swatch->pixmap().isNull());
    QVERIFY(!f.window->documentState().textChanged);
    QCOMPARE(f.synth.spoken().size(), 2);

    // Once the swatch holds a picture, a failed insertion leaves that picture on the
    // clipboard.
    f.dialogs.answerFile(QStringLiteral("open"), png);
    insert->trigger();
    QCOMPARE(picturesIn(pad), 1);
    const QImage held = swatch->pixmap().toImage();
    clipboard->setText(QStringLiteral("copied"));
    f.dialogs.answerFile(QStringLiteral("open"), text);
    insert->trigger();
    QCOMPARE(picturesIn(pad), 1);
    QCOMPARE(swatch->pixmap().toImage(), held);
    QVERIFY(!clipboard->mimeData()->hasText());
    QCOMPARE(qvariant_cast<QImage>(clipboard->mimeData()->imageData()).size(), QSize(40, 30));
}

QTEST_MAIN(TstInsertPicture)
#include "tst_insertpicture.moc"
