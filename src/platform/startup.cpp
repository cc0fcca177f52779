#include "startup.h"

#include <QApplication>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QLocale>
#include <QProxyStyle>
#include <QTranslator>

#include <cstdio>
#include <cstdlib>

namespace vorarid {
namespace {

class NoButtonIconsStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_DialogButtonBox_ButtonsHaveIcons) return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

// What Qt says while it connects to the display. Kept back until the
// connection has either worked (then printed as usual) or failed (then
// summed up in one line).
QStringList& startupMessages() {
    static QStringList messages;
    return messages;
}

void onStartupMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type != QtFatalMsg) {
        startupMessages() << qFormatLogMessage(type, context, message);
        return;
    }
    // Qt's own first complaint names the cause best ("could not connect to display :9").
    QString reason = message.section(u'\n', 0, 0);
    for (const QString& earlier : std::as_const(startupMessages()))
        if (earlier.contains(QLatin1String("connect to display"))) reason = earlier;
    std::fprintf(stderr, "vorarid: cannot start without a working graphical session: %s\n", qPrintable(reason));
    std::fflush(stderr);
    std::_Exit(1);
}

}  // namespace

bool haveDisplay() {
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("DISPLAY") ||
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return true;
    std::fputs("vorarid: needs a graphical session (neither DISPLAY nor WAYLAND_DISPLAY is set)\n", stderr);
    return false;
}

void preferX11UnderWayland() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("DISPLAY") &&
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
}

void installStartupFailureHandler() { qInstallMessageHandler(onStartupMessage); }

void startupSucceeded() {
    qInstallMessageHandler(nullptr);
    for (const QString& message : std::as_const(startupMessages())) std::fprintf(stderr, "%s\n", qPrintable(message));
    startupMessages().clear();
}

void setUpKoreanDesktop(QApplication& app) {
    auto* translator = new QTranslator(&app);
    if (translator->load(QLocale(QLocale::Korean, QLocale::SouthKorea), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);

    const QStringList hangul = QFontDatabase::families(QFontDatabase::Korean);
    if (hangul.isEmpty()) {
        std::fputs("vorarid: no Hangul font is installed; Korean texts may show as boxes "
                   "(install the package fonts-nanum)\n",
                   stderr);
    } else {
        QString gulim = hangul.first();
        for (const char* preferred : {"NanumBarunGothic", "NanumGothic", "Noto Sans CJK KR", "Noto Sans KR", "UnDotum", "Baekmuk Gulim"}) {
            if (hangul.contains(QLatin1String(preferred))) {
                gulim = QLatin1String(preferred);
                break;
            }
        }
        QFont::insertSubstitution(QStringLiteral("굴림"), gulim);
    }

    app.setStyle(new NoButtonIconsStyle);
}

}  // namespace vorarid
