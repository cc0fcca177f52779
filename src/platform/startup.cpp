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

void onQtMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "vorarid: cannot start the graphical session: %s\n", qPrintable(message));
        std::fflush(stderr);
        std::_Exit(1);
    }
    std::fputs(qPrintable(qFormatLogMessage(type, context, message) + u'\n'), stderr);
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

void installStartupFailureHandler() { qInstallMessageHandler(onQtMessage); }

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
