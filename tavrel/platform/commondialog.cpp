#include "platform/commondialog.h"

#include <QFileInfo>

void CommonDialog::acceptFile(const QString &path)
{
    m_fileName = path;
    m_fileTitle = QFileInfo(path).fileName();
}
