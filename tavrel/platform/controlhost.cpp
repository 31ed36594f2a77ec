#include "controlhost.h"

#include "platform/programfolders.h"

#include <QDir>
#include <QJsonObject>
#include <QLibrary>
#include <QMetaObject>
#include <QPluginLoader>
#include <QWidget>

#ifndef TAVREL_CONTROLS_RELDIR
#define TAVREL_CONTROLS_RELDIR "../lib/tavrel/controls"
#endif
// Without an installed place of its own, the folder found from the program only.
#ifndef TAVREL_CONTROLS_DIR
#define TAVREL_CONTROLS_DIR ""
#endif

namespace {

const QString FactoryIid = QStringLiteral("org.tavrel.ActiveControlFactory/1.0");

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

} // namespace

QStringList ControlHost::searchPaths()
{
    return ProgramFolders::searchPaths(QStringLiteral(TAVREL_CONTROLS_RELDIR),
                                       QStringLiteral(TAVREL_CONTROLS_DIR));
}

QWidget *ControlHost::create(const QString &progId, QWidget *parent, QString *error)
{
    const QStringList paths = searchPaths();
    // A module that matches but cannot be used (built for another Qt, say) does
    // not end the search: a later folder may hold a good one.
    QString firstFailure;
    for (const QString &path : paths) {
        const QFileInfoList files =
            QDir(path).entryInfoList(QDir::Files | QDir::Readable, QDir::Name);
        for (const QFileInfo &file : files) {
            if (!QLibrary::isLibrary(file.fileName()))
                continue;
            // Reading the metadata does not load the module.
            QPluginLoader loader(file.absoluteFilePath());
            const QJsonObject meta = loader.metaData();
            if (meta.value(QLatin1String("IID")).toString() != FactoryIid)
                continue;
            const QString id = meta.value(QLatin1String("MetaData")).toObject()
                                   .value(QLatin1String("ProgID")).toString();
            if (id.compare(progId, Qt::CaseInsensitive) != 0)
                continue;

            // The loader is not unloaded: the module must outlive its controls.
            QObject *factory = loader.instance();
            QWidget *control = nullptr;
            if (!factory) {
                if (firstFailure.isEmpty())
                    firstFailure = QStringLiteral("%1: %2").arg(progId, loader.errorString());
                continue;
            }
            const bool invoked = QMetaObject::invokeMethod(
                factory, "createControl", Qt::DirectConnection,
                Q_RETURN_ARG(QWidget *, control), Q_ARG(QWidget *, parent));
            if (invoked && control)
                return control;
            if (firstFailure.isEmpty()) {
                firstFailure = QStringLiteral("%1: the module %2 did not create a control")
                                   .arg(progId, file.absoluteFilePath());
            }
        }
    }
    if (!firstFailure.isEmpty()) {
        setError(error, firstFailure);
        return nullptr;
    }
    setError(error, QStringLiteral("%1: no control with this ProgID found in %2")
                        .arg(progId, paths.join(QLatin1String(", "))));
    return nullptr;
}
