#pragma once

#include "platform/RuntimeError.h"
#include "platform/TestDesktop.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <optional>

class SettingsStore;

// The RuntimeError a call raises, if any.
template <typename F> std::optional<RuntimeError> raisedError(F &&call)
{
    try {
        call();
    } catch (const RuntimeError &e) {
        return e;
    }
    return std::nullopt;
}

// The number of the RuntimeError a call raises, 0 when it raises none.
template <typename F> qint32 raisedErrorNumber(F &&call)
{
    try {
        call();
    } catch (const RuntimeError &e) {
        return e.number();
    }
    return 0;
}

// A program folder and a settings store in a temporary folder, a recording
// desktop, and the globals reset to their state before start-up. One per test:
// its end puts every seam back (the windows' default instances released, the
// replaced openers, hooks and sources, the registrations, the keys held).
class TestFixture
{
public:
    // withCatalogs: copy the shipped message catalogs into <program>/msg/.
    explicit TestFixture(bool withCatalogs = true);
    ~TestFixture();
    TestFixture(const TestFixture &) = delete;
    TestFixture &operator=(const TestFixture &) = delete;

    // The program folder, ending with "/".
    QString programFolder() const;
    QString path(const QString &relative) const;
    QString configHome() const;
    // $XDG_CACHE_HOME, $XDG_DATA_HOME, $XDG_RUNTIME_DIR and $TMPDIR, in the temporary folder too.
    QString cacheHome() const;
    QString dataHome() const;
    QString runtimeHome() const;
    QString tempHome() const;
    TestDesktop &desk() { return *m_desktop; }
    SettingsStore &settings();

    // Sets the folder globals as start-up does (program, msg, SysDefs, Index,
    // Scratch, module folders) and creates the folders.
    void setUpFolders();
    // What a test of the program's windows needs before it opens one: the
    // folders, the shipped SysDefs, the helper library, the settings section
    // "Settings", the notifier, and the splash off (its opening replaced, so
    // that it never waits either).
    void setUpWindowTest();
    // Copies a folder of the shipped data (such as "msg" or "SysDefs") into the program folder.
    void copyShippedData(const QString &relativeFolder);
    void writeFile(const QString &relative, const QByteArray &bytes);
    // Writes a Bible module into Modules/Bible/ and adds it to the Bible list.
    void addBible(const QString &displayName, const QString &fileName, const QByteArray &bytes,
                  bool enabled = true, qint32 codePage = 0);
    QByteArray readFile(const QString &relative) const;
    // Switches the interface language as the reader does, with the language
    // editor's Make Default, and forgets its confirmation.
    void switchInterfaceLanguage(const QString &language);
    // Copies a file the build puts into its program folder into this one, under
    // the same name; returns its path here.
    QString copyBuiltFile(const QString &relative);

    // A file of the built program folder ("libVxHelpers.so", "Help.chm",
    // "Modules/CHM/..."); the test fails, naming the file, when it was not built.
    static QString builtFile(const QString &relative);

    static QString sourceDir();

private:
    QTemporaryDir m_dir;
    // The user-folder variables as they were before, to put back.
    QList<std::pair<const char *, std::optional<QByteArray>>> m_oldHomes;
    TestDesktop *m_desktop = nullptr;
    std::unique_ptr<Desktop> m_previousDesktop;
};
