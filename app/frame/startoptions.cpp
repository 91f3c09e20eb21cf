#include "frame/startoptions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#ifndef VORN_VERSION
#error "VORN_VERSION comes from the build (project VERSION)"
#endif

namespace vorn::ui {

QString programVersion() {
    return QStringLiteral(VORN_VERSION);
}

QString versionLine() {
    return QStringLiteral("Vornmart ") + programVersion();
}

QString usageText() {
    return QStringLiteral("Usage: Vornmart [DATA_DIR]\n"
                          "\n"
                          "  DATA_DIR   the folder that holds the shop's data (the store __vorn__,\n"
                          "             vorn.ini, receipts); made if missing. Without it the program\n"
                          "             uses its own folder, %1.\n"
                          "  --version  print the version and end\n"
                          "  --help     print this text and end\n"
                          "  --smoke    start to the login page, print one line saying what was\n"
                          "             found (data folder, help, icons) and end; for checking an\n"
                          "             installation\n")
        .arg(QDir::toNativeSeparators(chooseDataFolder(QString(), QString(), userDataHome())));
}

StartOptions parseStartOptions(const QStringList& args) {
    StartOptions options;
    const qsizetype end = args.indexOf(QStringLiteral("--"));
    const QStringList flags = end < 0 ? args : args.mid(0, end);
    if (flags.contains(QStringLiteral("--version")) || flags.contains(QStringLiteral("-v"))) {
        options.action = StartOptions::Action::ShowVersion;
        return options;
    }
    if (flags.contains(QStringLiteral("--help")) || flags.contains(QStringLiteral("-h"))) {
        options.action = StartOptions::Action::ShowHelp;
        return options;
    }
    auto refuse = [&](const QString& why) {
        options = StartOptions{};
        options.action = StartOptions::Action::Refuse;
        options.error = why;
        return options;
    };
    bool positionalOnly = false;
    bool haveDir = false;
    for (const QString& arg : args) {
        if (!positionalOnly && arg == QStringLiteral("--")) {
            positionalOnly = true;
        } else if (!positionalOnly && arg == QStringLiteral("--smoke")) {
            options.smoke = true;
        } else if (!positionalOnly && arg.startsWith(QLatin1Char('-')) && arg.size() > 1) {
            return refuse(QStringLiteral("unknown option %1").arg(arg));
        } else if (arg.isEmpty()) {
            return refuse(QStringLiteral("the data directory is an empty name"));
        } else if (haveDir) {
            return refuse(QStringLiteral("one data directory only (%1, then %2)").arg(options.dataDir, arg));
        } else {
            options.dataDir = arg;
            haveDir = true;
        }
    }
    return options;
}

QString chooseDataFolder(const QString& given, const QString& currentDir, const QString& dataHome) {
    if (!given.isEmpty()) return QDir::cleanPath(QDir(currentDir).absoluteFilePath(given));
    if (dataHome.isEmpty() || QDir::isRelativePath(dataHome)) return QString();
    return QDir::cleanPath(dataHome + QStringLiteral("/Vornmart"));
}

QString userDataHome() {
    QString home = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    // A relative $XDG_DATA_HOME would put the shop's data wherever the program
    // happened to start, which is what the folder of its own is there to avoid.
    if (home.isEmpty() || QDir::isRelativePath(home)) {
        const QString userHome = QDir::homePath();
        home = QDir::isAbsolutePath(userHome) ? userHome + QStringLiteral("/.local/share") : QString();
    }
    return home.isEmpty() ? QString() : QDir::cleanPath(home);
}

QString prepareDataFolder(const QString& path) {
    if (path.isEmpty())
        return QStringLiteral("无法确定数据文件夹：没有用户主目录，请在命令行上指定数据文件夹");
    const QFileInfo info(path);
    if (info.exists() && !info.isDir())
        return QStringLiteral("数据文件夹\"%1\"已是一个文件，不是文件夹").arg(QDir::toNativeSeparators(path));
    if (!info.exists() && !QDir().mkpath(path))
        return QStringLiteral("无法建立数据文件夹\"%1\"").arg(QDir::toNativeSeparators(path));
    return QString();
}

QString bundledFile(const QString& appDir, const QString& name) {
    const QDir dir(appDir);
    for (const QString& candidate :
         {dir.filePath(name), dir.filePath(QStringLiteral("../share/vornmart/") + name)}) {
        const QFileInfo file(candidate);
        if (file.isFile()) return QDir::cleanPath(file.absoluteFilePath());
    }
    return QString();
}

bool provideHelpFile(const QString& appDir, const QString& dataFolder) {
    const QString name = QStringLiteral("vorn_helper.chm");
    const QFileInfo target(QDir(dataFolder).filePath(name));
    const QString source = bundledFile(appDir, name);
    if (source.isEmpty() || QFileInfo(source) == target) return target.isFile();
    // An updated program brings an updated guide; a copy the user made newer
    // than the installed one stays.
    if (target.exists() && target.lastModified() >= QFileInfo(source).lastModified()) return target.isFile();
    QFile in(source);
    QSaveFile out(target.absoluteFilePath());
    if (in.open(QIODevice::ReadOnly) && out.open(QIODevice::WriteOnly)) {
        out.write(in.readAll());
        if (!out.commit()) return target.exists();
        // The copy carries the installed file's time, so the next start sees it
        // as current and copies nothing.
        QFile copied(target.absoluteFilePath());
        if (copied.open(QIODevice::ReadWrite))
            copied.setFileTime(QFileInfo(source).lastModified(), QFileDevice::FileModificationTime);
    }
    return QFileInfo(target.absoluteFilePath()).isFile();
}

} // namespace vorn::ui
