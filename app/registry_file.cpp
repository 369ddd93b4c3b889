#include "app/registry_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace app {

namespace {

QString DataHome() {
    const QString xdg = qEnvironmentVariable("XDG_DATA_HOME");
    // Relative values are to be ignored, so a stray setting cannot scatter files in the cwd.
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg))
        return xdg;
    return QDir::homePath() + QStringLiteral("/.local/share");
}

}  // namespace

QString DefaultRegistryPath() {
    return QDir::cleanPath(DataHome() + QStringLiteral("/vlxconfigurator/registry.reg"));
}

QString DefaultRegistryPathHint() {
    return QStringLiteral(
        "$XDG_DATA_HOME/vlxconfigurator/registry.reg, "
        "~/.local/share/vlxconfigurator/registry.reg without XDG_DATA_HOME");
}

QString EnsureRegistryFile(const QString& path, const QString& samplePath) {
    const QFileInfo target(path);
    if (target.exists()) {
        if (target.isDir())
            return QStringLiteral("%1: is a folder, not a registry file.").arg(path);
        return {};
    }
    QFile sample(samplePath);
    if (!sample.open(QIODevice::ReadOnly))
        return QStringLiteral("%1: cannot read the sample configuration %2: %3.")
            .arg(path, samplePath, sample.errorString());
    const QByteArray content = sample.readAll();

    if (!QDir().mkpath(target.absolutePath()))
        return QStringLiteral("%1: cannot create the folder %2.").arg(path, target.absolutePath());

    // Written through a temporary file, so an interrupted first start leaves no half file that
    // the next start would take as the user's configuration.
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(content) != content.size() || !out.commit())
        return QStringLiteral("%1: cannot create the registry file: %2.")
            .arg(path, out.errorString());
    return {};
}

}  // namespace app
