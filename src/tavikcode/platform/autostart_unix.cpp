#include "autostart.h"

// Q_OS_WIN comes from Qt's headers: the test must follow one.
#include <QtGlobal>

#ifndef Q_OS_WIN

#include "base/tavikerror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

// An argument of Exec=: quoted when it holds a reserved character, with
// '"', '`', '$' and '\' escaped inside the quotes; then, as any string value
// of the file, '\' doubled once more. A '%' is a field code unless doubled.
QString execArgument(const QString &argument)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    QString arg = argument;
    arg.replace(u'%', QStringLiteral("%%"));
    bool quote = false;
    for (QChar c : arg)
        quote = quote || reserved.contains(c);
    if (quote) {
        QString quoted;
        for (QChar c : arg) {
            if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
                quoted += u'\\';
            quoted += c;
        }
        arg = u'"' + quoted + u'"';
    }
    return arg.replace(u'\\', QStringLiteral("\\\\"));
}

// "key=value", blanks allowed around '='.
bool isKey(const QByteArray &line, const QByteArray &key, const QByteArray &value)
{
    const qsizetype equals = line.indexOf('=');
    return equals > 0 && line.left(equals).trimmed() == key && line.mid(equals + 1).trimmed() == value;
}

} // namespace

QString autostartEntryPath()
{
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.config");
    return QDir::cleanPath(base + QStringLiteral("/autostart/TavikRepView.desktop"));
}

QByteArray autostartEntry(const QString &programFile)
{
    const QString text = QStringLiteral("[Desktop Entry]\n"
                                        "Type=Application\n"
                                        "Version=1.4\n"
                                        "Name=TavikRepView\n"
                                        "GenericName=Reception report monitor\n"
                                        "Comment=Shows which stations heard your callsign, from the Tavik Reporter "
                                        "service\n"
                                        "Exec=")
                         + execArgument(QFileInfo(programFile).absoluteFilePath())
                         + QStringLiteral(" /DATAFOLDER\n"
                                          "Icon=TavikRepView\n"
                                          "Terminal=false\n"
                                          "X-GNOME-Autostart-enabled=true\n");
    return text.toUtf8();
}

bool autostartEnabled()
{
    QFile file(autostartEntryPath());
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // The desktop switches an entry off without removing it: Hidden=true
    // (the entry counts as deleted), or GNOME's X-GNOME-Autostart-enabled=false.
    bool inEntry = false;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        if (line.startsWith('['))
            inEntry = line == "[Desktop Entry]";
        else if (inEntry && (isKey(line, "Hidden", "true") || isKey(line, "X-GNOME-Autostart-enabled", "false")))
            return false;
    }
    return true;
}

void setAutostart(bool enabled, const QString &programFile)
{
    const QString path = autostartEntryPath();
    if (!enabled) {
        if (QFileInfo::exists(path) && !QFile::remove(path))
            throw TavikError(QStringLiteral("Cannot remove the autostart entry ") + path);
        return;
    }
    QSaveFile file(path);
    if (!QDir().mkpath(QFileInfo(path).path()) || !file.open(QIODevice::WriteOnly)
        || file.write(autostartEntry(programFile)) < 0 || !file.commit())
        throw TavikError(QStringLiteral("Cannot write the autostart entry ") + path + QStringLiteral(": ")
                         + file.errorString());
}

#endif
