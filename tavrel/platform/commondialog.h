#pragma once

#include <QColor>
#include <QString>

class QPrinter;

// The one shared common dialog. Its properties keep their last values from one
// command to the next: a filter, file name, colour or font written or chosen by one
// command is what the next command finds, unless that command sets it again.
//
// Each show operation returns true when the user confirmed the dialog and false
// when it was cancelled; a cancel leaves the properties as they were. Every cancel
// is reported so, whatever cancelError says; cancelError is kept because callers
// set it and read it back.
class CommonDialog
{
public:
    static QString designFilter()
    {
        return QStringLiteral(
            "Text files (*.txt)|*.txt|Rich Text Document (*.rtf)|*.rtf|All files (*.*)|*.*");
    }

    virtual ~CommonDialog() = default;

    virtual bool showOpen() = 0;
    virtual bool showSave() = 0;
    // Shows the print dialog for the given printer; the chosen printer settings are
    // written into it and the copies into copies().
    virtual bool showPrinter(QPrinter *printer) = 0;
    virtual bool showFont() = 0;
    virtual bool showColor() = 0;

    QString dialogTitle() const { return m_dialogTitle; }
    void setDialogTitle(const QString &title) { m_dialogTitle = title; }

    // Pairs of a description and a pattern, every item separated by '|'.
    QString filter() const { return m_filter; }
    void setFilter(const QString &filter) { m_filter = filter; }
    // 1-based entry of the filter preselected.
    int filterIndex() const { return m_filterIndex; }
    void setFilterIndex(int index) { m_filterIndex = index; }

    QString fileName() const { return m_fileName; }
    void setFileName(const QString &path) { m_fileName = path; }
    QString fileTitle() const { return m_fileTitle; }
    void setFileTitle(const QString &title) { m_fileTitle = title; }

    int flags() const { return m_flags; }
    void setFlags(int flags) { m_flags = flags; }
    bool cancelError() const { return m_cancelError; }
    void setCancelError(bool on) { m_cancelError = on; }
    int copies() const { return m_copies; }
    void setCopies(int copies) { m_copies = copies; }

    QColor color() const { return m_color; }
    void setColor(const QColor &color) { m_color = color; }

    QString fontName() const { return m_fontName; }
    void setFontName(const QString &name) { m_fontName = name; }
    double fontSize() const { return m_fontSize; }
    void setFontSize(double points) { m_fontSize = points; }
    bool fontBold() const { return m_fontBold; }
    void setFontBold(bool on) { m_fontBold = on; }
    bool fontItalic() const { return m_fontItalic; }
    void setFontItalic(bool on) { m_fontItalic = on; }
    bool fontStrikethru() const { return m_fontStrikethru; }
    void setFontStrikethru(bool on) { m_fontStrikethru = on; }
    bool fontUnderline() const { return m_fontUnderline; }
    void setFontUnderline(bool on) { m_fontUnderline = on; }

protected:
    // Records a chosen path as the file name and its last component as the title.
    void acceptFile(const QString &path);

private:
    QString m_dialogTitle = QStringLiteral("Tavrel");
    QString m_filter = designFilter();
    int m_filterIndex = 0;
    QString m_fileName;
    QString m_fileTitle;
    int m_flags = 0;
    bool m_cancelError = false;
    int m_copies = 1;
    QColor m_color = Qt::black;
    QString m_fontName;
    double m_fontSize = 8.0;
    bool m_fontBold = false;
    bool m_fontItalic = false;
    bool m_fontStrikethru = false;
    bool m_fontUnderline = false;
};
