#include "application.h"

#include <exception>

#include <QFileInfo>
#include <QFont>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QStyleFactory>
#include <QTranslator>
#include <QtDebug>

#include "error_report.h"

QString ApplicationTitle(const QString& executablePath)
{
    QString name = QFileInfo(executablePath).fileName();
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    if (dot >= 0)
        name.truncate(dot);
    if (name.isEmpty())
        return name;
    return name.left(1) + name.mid(1).toLower();
}

QTranslator* InstallQtTranslation(const QLocale& locale)
{
    // qtbase_<language>.qm holds the texts of the widgets and dialogs this program uses;
    // the locale's languages are tried in the desktop's order of preference.
    // Qt ships one Traditional Chinese translation, Taiwan's; Hong Kong and Macau desktops
    // read it rather than English.
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    auto* translator = new QTranslator(QCoreApplication::instance());
    const bool found =
        translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"), folder) ||
        (locale.script() == QLocale::TraditionalChineseScript &&
         translator->load(QStringLiteral("qtbase_zh_TW"), folder));
    if (found && QCoreApplication::installTranslator(translator))
        return translator;
    delete translator;
    return nullptr;
}

Application::Application(int& argc, char** argv) : QApplication(argc, argv)
{
    // The pictures live in the window's static library, whose resource registration the
    // linker would otherwise drop.
    Q_INIT_RESOURCE(resources);

    // The "Windows" style draws group captions on the frame line and flat, grey
    // controls, as the window was laid out for.
    if (QStyle* style = QStyleFactory::create(QStringLiteral("Windows")))
        setStyle(style);

    // The about page names the Traditional Chinese Ming face of its original desktop;
    // here the Ming face that Debian ships stands in for it.
    QFont::insertSubstitution(QStringLiteral("新細明體"), QStringLiteral("AR PL UMing TW"));

    // 11-pixel interface font (8 points at 96 dots per inch). Latin text from a sans face,
    // Chinese from the Ming face, so that every caption renders whatever the machine's
    // fontconfig fallback would pick.
    QFont font;
    font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("AR PL UMing TW")});
    font.setPixelSize(11);
    setFont(font);

    setWindowIcon(QIcon(QStringLiteral(":/kartovel/icon.png")));

    // The program's own texts are fixed; only Qt's follow the desktop's language.
    InstallQtTranslation(QLocale::system());
}

bool Application::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        if (errorDesktop_)
            ReportError(*errorDesktop_, std::current_exception());
        else
            qWarning("An error left an event handler and no desktop was set to show it");
        return false;
    }
}
