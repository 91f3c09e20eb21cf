// What the command line asks of the program, and which folder holds the shop's
// data. No widgets here: start-up decides these before any window exists, and
// `Vornmart --version` must answer without a display.
#pragma once

#include <QString>
#include <QStringList>

namespace vorn::ui {

// The program's version, the one the build was given (project VERSION).
QString programVersion();
// "Vornmart 0.1.0": what --version prints.
QString versionLine();
// What --help prints.
QString usageText();

struct StartOptions {
    enum class Action { Run, ShowVersion, ShowHelp, Refuse };
    Action action = Action::Run;
    // The data directory named on the command line; empty when none was.
    QString dataDir;
    // Start to the login page, say so on stdout with what was found, and end.
    bool smoke = false;
    // Why the command line was refused (Refuse only).
    QString error;
};

// Reads the arguments after the program name. --version and --help win over
// anything else on the line, so they answer even beside options Qt has not
// taken out yet (the line is read once before the application object exists).
StartOptions parseStartOptions(const QStringList& args);

// The shop's data folder: the directory given on the command line (relative to
// currentDir), else the folder "Vornmart" in the user's data home. Empty when
// nothing was given and there is no data home either.
QString chooseDataFolder(const QString& given, const QString& currentDir, const QString& dataHome);

// The user's data home by the XDG rules ($XDG_DATA_HOME, else ~/.local/share).
// A relative $XDG_DATA_HOME is ignored, as the rules ask. Empty without a home.
QString userDataHome();

// Makes the folder where it is missing. Empty on success, else the reason, in
// the words the error box shows.
QString prepareDataFolder(const QString& path);

// The files the program was installed with, looked up beside the program (a
// build tree: bin/) and in the installed layout (bin/../share/vornmart).
QString bundledFile(const QString& appDir, const QString& name);

// The help file is opened from the data folder; a copy there is made from the
// installed one where it is missing or older. True when the data folder holds
// the help file afterwards.
bool provideHelpFile(const QString& appDir, const QString& dataFolder);

} // namespace vorn::ui
