// The Debian package as a user gets it: its files, its control fields, the menu entry and the
// software-centre metadata, read back from the .deb that CPack builds from this tree.
#include "RunProgram.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <QXmlStreamReader>

#include <map>

namespace {

// Prefix-relative path of an installed file, e.g. "bin/plumaret" -> "usr/bin/plumaret".
QString installed(const QString &relative)
{
    QString prefix = QStringLiteral(PLUMARET_INSTALL_PREFIX);
    while (prefix.startsWith(u'/'))
        prefix.remove(0, 1);
    return prefix.isEmpty() ? relative : prefix + u'/' + relative;
}

// "Key=value" lines of the [Desktop Entry] group.
std::map<QString, QString> desktopEntry(const QString &path)
{
    std::map<QString, QString> entry;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return entry;
    bool inGroup = false;
    for (const QString &line : QString::fromUtf8(f.readAll()).split(u'\n')) {
        if (line.startsWith(u'['))
            inGroup = line == QLatin1String("[Desktop Entry]");
        else if (inGroup && line.contains(u'=') && !line.startsWith(u'#'))
            entry[line.section(u'=', 0, 0)] = line.section(u'=', 1);
    }
    return entry;
}

struct ExpectedFile
{
    const char *what;
    const char *path;
    const char *mode;
};

// Where a Debian user's system keeps each part, relative to the prefix.
QList<ExpectedFile> expectedFiles()
{
    const char *program = "-rwxr-xr-x root/root";
    // Shared libraries are not executable on Debian.
    const char *data = "-rw-r--r-- root/root";
    QList<ExpectedFile> files {
        { "window", "bin/plumaret", program },
        { "command-line tool", "bin/plumaret-cli", program },
        { "update library", "lib/plumaret/libUpdate.so", data },
        { "phrase book", "share/plumaret/db.dll", data },
        { "menu entry", "share/applications/plumaret.desktop", data },
        { "metainfo", "share/metainfo/example.plumaret.plumaret.metainfo.xml", data },
        { "icon", "share/icons/hicolor/scalable/apps/plumaret.svg", data },
    };
    if (PLUMARET_WITH_WEBPANEL)
        files.append({ "advertisement panel", "lib/plumaret/libAdPanel.so", data });
    return files;
}

} // namespace

class tst_Package : public QObject
{
    Q_OBJECT

    QTemporaryDir work;
    QString deb;
    QString root; // the package's files, unpacked
    std::map<QString, QString> modes; // regular file -> "-rwxr-xr-x root/root"
    std::map<QString, QString> control;

    QString unpacked(const QString &relative) const { return root + u'/' + installed(relative); }

private slots:
    void initTestCase()
    {
        for (const char *tool : { "dpkg-deb", "dpkg-shlibdeps" }) {
            if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
                QSKIP(qPrintable(QStringLiteral("%1 is missing: the package can be neither built nor "
                                                "read (Debian's dpkg-dev)")
                                     .arg(QLatin1String(tool))));
        }
        QVERIFY(work.isValid());
        const Run cpack = RunProgram(QStringLiteral(PLUMARET_CPACK),
            { QStringLiteral("--config"), QStringLiteral(PLUMARET_BINARY_DIR "/CPackConfig.cmake"),
                QStringLiteral("-B"), work.filePath(QStringLiteral("out")) },
            600000);
        QVERIFY2(cpack.exitCode == 0, qPrintable(cpack.out + cpack.err));

        const QString arch
            = RunProgram(QStringLiteral("dpkg"), { QStringLiteral("--print-architecture") }).out.trimmed();
        deb = work.filePath(
            QStringLiteral("out/plumaret_%1_%2.deb").arg(QLatin1String(PLUMARET_PROJECT_VERSION), arch));
        QVERIFY2(QFileInfo::exists(deb),
            qPrintable(QDir(work.filePath(QStringLiteral("out"))).entryList().join(u' ')));

        const Run list = RunProgram(QStringLiteral("dpkg-deb"), { QStringLiteral("--contents"), deb });
        QCOMPARE(list.exitCode, 0);
        // "-rwxr-xr-x root/root  12345 2026-12-10 14:00 ./usr/bin/plumaret"
        for (const QString &line : list.out.split(u'\n', Qt::SkipEmptyParts)) {
            const QStringList f = line.split(u' ', Qt::SkipEmptyParts);
            if (f.size() >= 6 && f.at(0).startsWith(u'-'))
                modes[f.at(5).mid(2)] = f.at(0) + u' ' + f.at(1);
        }

        const Run fields = RunProgram(QStringLiteral("dpkg-deb"), { QStringLiteral("--field"), deb });
        QCOMPARE(fields.exitCode, 0);
        QString key;
        for (const QString &line : fields.out.split(u'\n', Qt::SkipEmptyParts)) {
            if (line.startsWith(u' ')) {
                control[key] += u'\n' + line;
            } else {
                key = line.section(u':', 0, 0);
                control[key] = line.section(u':', 1).trimmed();
            }
        }

        root = work.filePath(QStringLiteral("root"));
        const Run extract
            = RunProgram(QStringLiteral("dpkg-deb"), { QStringLiteral("--extract"), deb, root });
        QVERIFY2(extract.exitCode == 0, qPrintable(extract.err));
    }

    void holdsTheProgramsFiles_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("mode");
        for (const ExpectedFile &f : expectedFiles())
            QTest::newRow(f.what) << installed(QLatin1String(f.path)) << QString::fromLatin1(f.mode);
    }

    void holdsTheProgramsFiles()
    {
        QFETCH(QString, path);
        QFETCH(QString, mode);
        const auto it = modes.find(path);
        QVERIFY2(it != modes.end(), qPrintable(path + QStringLiteral(" is not in the package")));
        QCOMPARE(it->second, mode);
    }

    // Headers, static libraries, test programs or the build tree's paths have no place in it.
    void holdsNothingElse()
    {
        QStringList unexpected;
        for (const auto &entry : modes)
            unexpected.append(entry.first);
        for (const ExpectedFile &f : expectedFiles())
            unexpected.removeAll(installed(QLatin1String(f.path)));
        QVERIFY2(unexpected.isEmpty(), qPrintable(unexpected.join(u' ')));
    }

    // A search path of its own would make the loader look in /usr/bin or beside the build.
    void programsUseTheSystemsLibraryPath()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("readelf")).isEmpty())
            QSKIP("readelf (binutils) is not installed");
        for (const ExpectedFile &f : expectedFiles()) {
            const QString path = QLatin1String(f.path);
            if (!path.startsWith(QLatin1String("bin/")) && !path.endsWith(QLatin1String(".so")))
                continue;
            const Run r
                = RunProgram(QStringLiteral("readelf"), { QStringLiteral("--dynamic"), unpacked(path) });
            QVERIFY2(r.exitCode == 0, qPrintable(r.err));
            QVERIFY2(!r.out.contains(QLatin1String("RPATH")) && !r.out.contains(QLatin1String("RUNPATH")),
                qPrintable(path + u'\n' + r.out));
        }
    }

    void controlFields_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("pattern");
        QTest::newRow("name") << "Package"
                              << "^plumaret$";
        QTest::newRow("version") << "Version"
                                 << QStringLiteral("^%1$").arg(
                                        QRegularExpression::escape(QStringLiteral(PLUMARET_PROJECT_VERSION)));
        QTest::newRow("maintainer") << "Maintainer"
                                    << "^[^<>]+ <[^@<>\\s]+@[^@<>\\s]+\\.[a-z]+>$";
        QTest::newRow("a Chinese font") << "Depends"
                                        << "(^|, )fonts-arphic-uming \\| fonts-noto-cjk(,|$)";
        QTest::newRow("Qt's Chinese dialogs") << "Depends"
                                              << "(^|, )qt6-translations-l10n(,|$)";
        QTest::newRow("Qt from the binaries") << "Depends"
                                              << "(^|, )libqt6widgets6 \\(";
        QTest::newRow("libmdb from the binaries") << "Depends"
                                                  << "(^|, )libmdb3 \\(";
        QTest::newRow("English synopsis") << "Description"
                                          << "^[^\\n]*love letter";
        QTest::newRow("Chinese synopsis") << "Description"
                                          << "^[^\\n]*情书";
        QTest::newRow("both languages described") << "Description"
                                                  << "\\n [A-Z][^\\n]*\\n(.|\\n)*\\n [^\\n]*情书";
        QTest::newRow("text as written, no markup escapes") << "Description"
                                                            << "^[^&]*$";
        QTest::newRow("paragraphs kept apart") << "Description"
                                               << "\\n \\.\\n";
    }

    void controlFields()
    {
        QFETCH(QString, field);
        QFETCH(QString, pattern);
        const auto it = control.find(field);
        QVERIFY2(it != control.end(), qPrintable(field + QStringLiteral(" is missing")));
        QVERIFY2(QRegularExpression(pattern).match(it->second).hasMatch(),
            qPrintable(QStringLiteral("%1: %2").arg(field, it->second)));
    }
    // The menu starts the program where it reads db.dll; both paths must be the package's own.
    void menuEntryStartsTheInstalledProgram()
    {
        const auto entry = desktopEntry(unpacked(QStringLiteral("share/applications/plumaret.desktop")));
        QVERIFY(entry.count(QStringLiteral("Exec")) && entry.count(QStringLiteral("Path")));
        const QString exec = entry.at(QStringLiteral("Exec")).section(u' ', 0, 0);
        const QString path = entry.at(QStringLiteral("Path"));
        QCOMPARE(exec, QStringLiteral("/") + installed(QStringLiteral("bin/plumaret")));
        QVERIFY2(QFileInfo::exists(root + path + QStringLiteral("/db.dll")), qPrintable(path));
        const QString icon
            = entry.count(QStringLiteral("Icon")) ? entry.at(QStringLiteral("Icon")) : QString();
        QVERIFY2(!icon.isEmpty()
                && QFileInfo::exists(
                    unpacked(QStringLiteral("share/icons/hicolor/scalable/apps/%1.svg").arg(icon))),
            qPrintable(icon));
    }

    void validates_data()
    {
        QTest::addColumn<QString>("tool");
        QTest::addColumn<QStringList>("args");
        QTest::newRow("menu entry") << "desktop-file-validate"
                                    << QStringList { unpacked(
                                           QStringLiteral("share/applications/plumaret.desktop")) };
        QTest::newRow("metainfo") << "appstreamcli"
                                  << QStringList { QStringLiteral("validate"), QStringLiteral("--no-net"),
                                         unpacked(QStringLiteral(
                                             "share/metainfo/example.plumaret.plumaret.metainfo.xml")) };
    }

    void validates()
    {
        QFETCH(QString, tool);
        QFETCH(QStringList, args);
        if (QStandardPaths::findExecutable(tool).isEmpty())
            QSKIP(qPrintable(tool + QStringLiteral(" is not installed")));
        const Run r = RunProgram(tool, args);
        QVERIFY2(r.exitCode == 0, qPrintable(r.out + r.err));
        // desktop-file-validate passes with warnings; a menu entry should have none.
        QVERIFY2(!r.out.contains(QLatin1String("warning:")), qPrintable(r.out));
    }

    // A software centre shows the program from its menu entry and the README's screenshot.
    void metainfoPointsAtWhatExists()
    {
        QFile f(unpacked(QStringLiteral("share/metainfo/example.plumaret.plumaret.metainfo.xml")));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&f);
        QString launchable;
        QString screenshot;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            if (xml.name() == QLatin1String("launchable"))
                launchable = xml.readElementText();
            else if (xml.name() == QLatin1String("image") && screenshot.isEmpty())
                screenshot = xml.readElementText();
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QVERIFY2(QFileInfo::exists(unpacked(QStringLiteral("share/applications/") + launchable)),
            qPrintable(launchable));
        const QString picture = QUrl(screenshot).path();
        QVERIFY2(!picture.isEmpty() && QFileInfo::exists(QStringLiteral(PLUMARET_SOURCE_DIR) + picture),
            qPrintable(screenshot));
        QFile readme(QStringLiteral(PLUMARET_SOURCE_DIR "/README.md"));
        QVERIFY(readme.open(QIODevice::ReadOnly));
        QVERIFY2(readme.readAll().contains(picture.mid(1).toUtf8()), qPrintable(picture));
    }

    // The stripped tool from the package reads the packaged phrase book.
    void packagedToolReadsThePackagedPhraseBook()
    {
        const Run r = RunProgram(unpacked(QStringLiteral("bin/plumaret-cli")),
            { QStringLiteral("db"), QStringLiteral("query"),
                unpacked(QStringLiteral("share/plumaret/db.dll")),
                QStringLiteral("SELECT COUNT(*) AS n FROM LoveWord") });
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        const QStringList lines = r.out.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.value(0), QStringLiteral("n"));
        QVERIFY2(lines.value(1).toInt() > 0, qPrintable(r.out));
    }
};

QTEST_GUILESS_MAIN(tst_Package)
#include "tst_package.moc"
