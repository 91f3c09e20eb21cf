// The command line, the choice of the data folder, the installed help file and
// the version shown on the about page.
#include <QDateTime>
#include <QFile>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <optional>

#include "frame/aboutview.h"
#include "frame/startoptions.h"
#include "frame_fixture.h"
#include "res/commandids.h"
#include "res/strings.h"

using namespace vorn::ui;
using namespace vorn::ui::test;
using Action = StartOptions::Action;

Q_DECLARE_METATYPE(StartOptions::Action)

namespace {

// Sets an environment variable (or unsets it: nullopt) while it lives.
class EnvVar {
public:
    EnvVar(const char* name, const std::optional<QByteArray>& value)
        : name_(name), had_(qEnvironmentVariableIsSet(name)), old_(qgetenv(name)) {
        if (value)
            qputenv(name, *value);
        else
            qunsetenv(name);
    }
    ~EnvVar() {
        if (had_)
            qputenv(name_, old_);
        else
            qunsetenv(name_);
    }
    EnvVar(const EnvVar&) = delete;
    EnvVar& operator=(const EnvVar&) = delete;

private:
    const char* name_;
    bool had_;
    QByteArray old_;
};

bool writeFile(const QString& path, const QByteArray& bytes, const QDateTime& modified) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    // Written out before the time is set, or closing would stamp it again.
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.flush()) return false;
    return f.setFileTime(modified, QFileDevice::FileModificationTime);
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
}

} // namespace

class TestStartOptions : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { setUpApplication(); }

    void commandLine_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<Action>("action");
        QTest::addColumn<QString>("dataDir");
        QTest::addColumn<bool>("smoke");
        QTest::addColumn<QString>("errorNames");

        QTest::newRow("nothing: the program's own folder")
            << QStringList{} << Action::Run << "" << false << "";
        QTest::newRow("a data directory") << QStringList{"shop"} << Action::Run << "shop" << false << "";
        QTest::newRow("an absolute one")
            << QStringList{"/srv/shop"} << Action::Run << "/srv/shop" << false << "";
        QTest::newRow("version") << QStringList{"--version"} << Action::ShowVersion << "" << false << "";
        QTest::newRow("version, short") << QStringList{"-v"} << Action::ShowVersion << "" << false << "";
        QTest::newRow("version beats a directory")
            << QStringList{"shop", "--version"} << Action::ShowVersion << "" << false << "";
        QTest::newRow("version beside Qt's options before Qt took them")
            << QStringList{"-platform", "offscreen", "--version"} << Action::ShowVersion << "" << false << "";
        QTest::newRow("help") << QStringList{"--help"} << Action::ShowHelp << "" << false << "";
        QTest::newRow("help, short") << QStringList{"-h"} << Action::ShowHelp << "" << false << "";
        QTest::newRow("smoke") << QStringList{"--smoke"} << Action::Run << "" << true << "";
        QTest::newRow("smoke in a directory")
            << QStringList{"--smoke", "/tmp/x"} << Action::Run << "/tmp/x" << true << "";
        QTest::newRow("directory, then smoke")
            << QStringList{"/tmp/x", "--smoke"} << Action::Run << "/tmp/x" << true << "";
        QTest::newRow("after --, a name is a directory")
            << QStringList{"--", "--version"} << Action::Run << "--version" << false << "";
        QTest::newRow("after --, a dash is a directory")
            << QStringList{"--smoke", "--", "-shop"} << Action::Run << "-shop" << true << "";
        QTest::newRow("a lone dash is a name") << QStringList{"-"} << Action::Run << "-" << false << "";
        QTest::newRow("unknown option")
            << QStringList{"--bogus"} << Action::Refuse << "" << false << "--bogus";
        QTest::newRow("two directories") << QStringList{"a", "b"} << Action::Refuse << "" << false << "b";
        QTest::newRow("an empty name") << QStringList{""} << Action::Refuse << "" << false << "empty";
    }

    void commandLine() {
        QFETCH(QStringList, args);
        QFETCH(Action, action);
        QFETCH(QString, dataDir);
        QFETCH(bool, smoke);
        QFETCH(QString, errorNames);
        const StartOptions o = parseStartOptions(args);
        QCOMPARE(o.action, action);
        QCOMPARE(o.dataDir, dataDir);
        QCOMPARE(o.smoke, smoke);
        QCOMPARE(o.error.isEmpty(), action != Action::Refuse);
        if (!errorNames.isEmpty()) QVERIFY2(o.error.contains(errorNames), qPrintable(o.error));
    }

    void dataFolder_data() {
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("currentDir");
        QTest::addColumn<QString>("dataHome");
        QTest::addColumn<QString>("expected");

        QTest::newRow("menu start: own folder in the data home") << ""
                                                                 << "/"
                                                                 << "/home/li/.local/share"
                                                                 << "/home/li/.local/share/Vornmart";
        QTest::newRow("own folder, whatever the current directory") << ""
                                                                    << "/tmp/random"
                                                                    << "/home/li/.local/share"
                                                                    << "/home/li/.local/share/Vornmart";
        QTest::newRow("data home with a trailing slash") << ""
                                                         << "/w"
                                                         << "/x/data/"
                                                         << "/x/data/Vornmart";
        QTest::newRow("no data home: none") << ""
                                            << "/w"
                                            << ""
                                            << "";
        QTest::newRow("relative data home: none") << ""
                                                  << "/w"
                                                  << "rel/share"
                                                  << "";
        QTest::newRow("absolute directory") << "/srv/shop"
                                            << "/w"
                                            << "/h"
                                            << "/srv/shop";
        QTest::newRow("relative directory") << "shop"
                                            << "/w/run"
                                            << "/h"
                                            << "/w/run/shop";
        QTest::newRow("the current directory (scripts/run.sh)") << "."
                                                                << "/w/run-data"
                                                                << "/h"
                                                                << "/w/run-data";
        QTest::newRow("up and over") << "../other/"
                                     << "/w/run"
                                     << "/h"
                                     << "/w/other";
        QTest::newRow("untidy absolute") << "/srv//shop/./"
                                         << "/w"
                                         << "/h"
                                         << "/srv/shop";
        QTest::newRow("a directory even without a data home") << "shop"
                                                              << "/w"
                                                              << ""
                                                              << "/w/shop";
    }

    void dataFolder() {
        QFETCH(QString, given);
        QFETCH(QString, currentDir);
        QFETCH(QString, dataHome);
        QFETCH(QString, expected);
        QCOMPARE(chooseDataFolder(given, currentDir, dataHome), expected);
    }

    // The XDG rules as Qt reads them, with the one rule Qt leaves out.
    void userDataHomeFollowsXdg_data() {
        QTest::addColumn<std::optional<QByteArray>>("xdgDataHome");
        QTest::addColumn<QByteArray>("home");
        QTest::addColumn<QString>("expected");

        QTest::newRow("XDG_DATA_HOME")
            << std::optional<QByteArray>("/x/share") << QByteArray("/home/a") << "/x/share";
        QTest::newRow("XDG_DATA_HOME with a slash")
            << std::optional<QByteArray>("/x/share/") << QByteArray("/home/a") << "/x/share";
        QTest::newRow("unset: ~/.local/share")
            << std::optional<QByteArray>() << QByteArray("/home/a") << "/home/a/.local/share";
        QTest::newRow("empty: ~/.local/share")
            << std::optional<QByteArray>("") << QByteArray("/home/b") << "/home/b/.local/share";
        QTest::newRow("relative: ignored")
            << std::optional<QByteArray>("share") << QByteArray("/home/c") << "/home/c/.local/share";
    }

    void userDataHomeFollowsXdg() {
        QFETCH(std::optional<QByteArray>, xdgDataHome);
        QFETCH(QByteArray, home);
        QFETCH(QString, expected);
        // Test mode moves every location under ~/.qttest; this looks at the real rules.
        QStandardPaths::setTestModeEnabled(false);
        {
            EnvVar xdg("XDG_DATA_HOME", xdgDataHome);
            EnvVar userHome("HOME", home);
            QCOMPARE(userDataHome(), expected);
            QCOMPARE(chooseDataFolder(QString(), QStringLiteral("/"), userDataHome()),
                     expected + "/Vornmart");
        }
        QStandardPaths::setTestModeEnabled(true);
    }

    void prepareFolder_data() {
        QTest::addColumn<QString>("relative"); // under a fresh directory; "" for no path at all
        QTest::addColumn<bool>("made");
        QTest::addColumn<QString>("errorNames");

        QTest::newRow("exists") << "." << true << "";
        QTest::newRow("missing, nested") << "a/b/Vornmart" << true << "";
        QTest::newRow("a file") << "file" << false << "不是文件夹";
        QTest::newRow("under a file") << "file/shop" << false << "无法建立数据文件夹";
        QTest::newRow("no path") << "" << false << "无法确定数据文件夹";
    }

    void prepareFolder() {
        QFETCH(QString, relative);
        QFETCH(bool, made);
        QFETCH(QString, errorNames);
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath("file"), "x", QDateTime::currentDateTime()));
        const QString path = relative.isEmpty() ? QString() : QDir::cleanPath(dir.filePath(relative));
        const QString why = prepareDataFolder(path);
        QCOMPARE(why.isEmpty(), made);
        if (!errorNames.isEmpty()) QVERIFY2(why.contains(errorNames), qPrintable(why));
        if (made) QVERIFY(QFileInfo(path).isDir());
        if (!path.isEmpty()) QVERIFY(why.isEmpty() || why.contains(QDir::toNativeSeparators(path)));
    }

    void bundledFileBesideOrInstalled_data() {
        QTest::addColumn<QStringList>("files"); // made under a fresh root
        QTest::addColumn<QString>("expected");  // relative to the root; "" for none

        QTest::newRow("build tree: beside the program") << QStringList{"bin/guide.chm"} << "bin/guide.chm";
        QTest::newRow("installed: share/vornmart")
            << QStringList{"share/vornmart/guide.chm"} << "share/vornmart/guide.chm";
        QTest::newRow("both: beside wins")
            << QStringList{"bin/guide.chm", "share/vornmart/guide.chm"} << "bin/guide.chm";
        QTest::newRow("elsewhere: none") << QStringList{"share/other/guide.chm", "guide.chm"} << "";
    }

    void bundledFileBesideOrInstalled() {
        QFETCH(QStringList, files);
        QFETCH(QString, expected);
        QTemporaryDir root;
        QVERIFY(QDir(root.path()).mkpath("bin"));
        for (const QString& f : files)
            QVERIFY(writeFile(root.filePath(f), "chm", QDateTime::currentDateTime()));
        const QString found = bundledFile(root.filePath("bin"), "guide.chm");
        QCOMPARE(found, expected.isEmpty() ? QString() : QDir::cleanPath(root.filePath(expected)));
    }

    void helpFileCopiedWhereMissingOrOlder_data() {
        QTest::addColumn<bool>("installed");
        QTest::addColumn<bool>("dataCopy");
        QTest::addColumn<int>("copyAge"); // days the data folder's copy is older than the installed file
        QTest::addColumn<bool>("present");
        QTest::addColumn<QByteArray>("content");

        QTest::newRow("first start: copied") << true << false << 0 << true << QByteArray("new guide");
        QTest::newRow("older copy: replaced") << true << true << 3 << true << QByteArray("new guide");
        QTest::newRow("same age: kept") << true << true << 0 << true << QByteArray("own copy");
        QTest::newRow("newer copy: kept") << true << true << -5 << true << QByteArray("own copy");
        QTest::newRow("nothing installed, no copy") << false << false << 0 << false << QByteArray("<none>");
        QTest::newRow("nothing installed, a copy stays")
            << false << true << 3 << true << QByteArray("own copy");
    }

    void helpFileCopiedWhereMissingOrOlder() {
        QFETCH(bool, installed);
        QFETCH(bool, dataCopy);
        QFETCH(int, copyAge);
        QFETCH(bool, present);
        QFETCH(QByteArray, content);
        QTemporaryDir root;
        const QString appDir = root.filePath("usr/bin");
        const QString data = root.filePath("home/.local/share/Vornmart");
        QVERIFY(QDir().mkpath(appDir) && QDir().mkpath(data));
        const QDateTime installedTime = QDateTime::currentDateTime().addDays(-10);
        if (installed)
            QVERIFY(
                writeFile(root.filePath("usr/share/vornmart/vorn_helper.chm"), "new guide", installedTime));
        if (dataCopy)
            QVERIFY(writeFile(data + "/vorn_helper.chm", "own copy", installedTime.addDays(-copyAge)));

        QCOMPARE(provideHelpFile(appDir, data), present);
        QCOMPARE(readFile(data + "/vorn_helper.chm"), content);
        // A copy once made is current: the next start leaves it alone.
        if (installed) {
            QCOMPARE(QFileInfo(data + "/vorn_helper.chm").lastModified() >= installedTime, true);
            QVERIFY(writeFile(root.filePath("usr/share/vornmart/vorn_helper.chm"), "changed", installedTime));
            QVERIFY(provideHelpFile(appDir, data));
            QCOMPARE(readFile(data + "/vorn_helper.chm"), content);
        }
    }

    void helpFileInTheProgramsOwnFolder() {
        // A data folder that is the build's bin/ holds the file already.
        QTemporaryDir root;
        QVERIFY(writeFile(root.filePath("vorn_helper.chm"), "guide", QDateTime::currentDateTime()));
        QVERIFY(provideHelpFile(root.path(), root.path()));
        QCOMPARE(readFile(root.filePath("vorn_helper.chm")), QByteArray("guide"));
    }

    void versionIsOneNumber() {
        static const QRegularExpression dotted(QStringLiteral("^\\d+\\.\\d+\\.\\d+$"));
        QVERIFY2(dotted.match(programVersion()).hasMatch(), qPrintable(programVersion()));
        QCOMPARE(versionLine(), "Vornmart " + programVersion());
        QVERIFY(usageText().contains("--version"));
        QVERIFY(usageText().contains("/Vornmart"));
    }

    void aboutPageShowsVersionAndDataFolder() {
        FrameFixture f;
        QVERIFY(f.create());
        CAboutView about(*f.frame);
        const QString text = about.textView()->toPlainText();
        QVERIFY(text.startsWith(caption(cmd::AboutText)));
        const QStringList lines = text.split('\n');
        QVERIFY(lines.size() > 2);
        QCOMPARE(lines.at(lines.size() - 2), "版本：" + programVersion());
        QCOMPARE(lines.last(), "数据文件夹：" + QDir::toNativeSeparators(QDir::cleanPath(f.path("."))));
        if (qEnvironmentVariableIsSet("VORN_SCREENSHOT_DIR")) {
            about.resize(1024, 640);
            about.show();
            flush();
            about.grab().save(qEnvironmentVariable("VORN_SCREENSHOT_DIR") + "/about.png");
        }
    }
};

QTEST_MAIN(TestStartOptions)
#include "test_startoptions.moc"
