#include "startup.h"

#include "desktop_session.h"

#include <QApplication>
#include <QFontDatabase>
#include <QLocale>
#include <QPixmapCache>
#include <QProxyStyle>
#include <QStyleOptionButton>
#include <QTranslator>

#include <cstdio>
#include <cstdlib>

namespace vorarid {
namespace {

// The platform's own style, with two changes: dialog buttons without stock
// icons, and default buttons drawn still.
class GameStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_DialogButtonBox_ButtonsHaveIcons) return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }

    // Qt's Windows style pulses the default button of the active window, as
    // Windows Vista did, on a timer that wakes the program 60 times a second
    // for as long as a message box, the help or the credits is open. Windows
    // 10 and 11 draw it still; the game draws it as an ordinary button and
    // stays asleep.
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option);
        if (element == CE_PushButtonBevel && button && (button->features & QStyleOptionButton::DefaultButton) &&
            baseStyle()->name().compare(QLatin1String("windowsvista"), Qt::CaseInsensitive) == 0) {
            QStyleOptionButton still = *button;
            still.features &= ~QStyleOptionButton::DefaultButton;
            QProxyStyle::drawControl(element, &still, painter, widget);
            return;
        }
        QProxyStyle::drawControl(element, option, painter, widget);
    }
};

// What Qt says while it connects to the display. Kept back until the
// connection has either worked (then printed as usual) or failed (then
// summed up for the player).
QStringList& startupMessages() {
    static QStringList messages;
    return messages;
}

void onStartupMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type != QtFatalMsg) {
        startupMessages() << qFormatLogMessage(type, context, message);
        return;
    }
    reportStartupFailure(startupFailureReason(message, startupMessages()));
    std::_Exit(1);
}

// "굴림" itself where it is installed (Korean Windows, Windows' optional
// Korean fonts), else the Korean font of every Windows since Vista, else the
// Hangul fonts of Linux distributions, else any Hangul font; empty if there
// is none. Each family named is looked at alone: asking which families
// write Korean looks at every installed font, which Windows takes its time
// over.
QString hangulFont() {
    const QStringList installed = QFontDatabase::families();
    for (const char* preferred : {"굴림", "Gulim", "Malgun Gothic", "맑은 고딕", "NanumBarunGothic", "NanumGothic",
                                  "Noto Sans CJK KR", "Noto Sans KR", "UnDotum", "Baekmuk Gulim"}) {
        const QString family = QString::fromUtf8(preferred);
        if (installed.contains(family) && QFontDatabase::writingSystems(family).contains(QFontDatabase::Korean))
            return family;
    }
    const QStringList hangul = QFontDatabase::families(QFontDatabase::Korean);
    return hangul.isEmpty() ? QString() : hangul.first();
}

}  // namespace

void installStartupFailureHandler() { qInstallMessageHandler(onStartupMessage); }

void startupSucceeded() {
    qInstallMessageHandler(nullptr);
    for (const QString& message : std::as_const(startupMessages())) std::fprintf(stderr, "%s\n", qPrintable(message));
    startupMessages().clear();
}

void setUpKoreanDesktop(QApplication& app) {
    auto* translator = new QTranslator(&app);
    if (translator->load(QLocale(QLocale::Korean, QLocale::SouthKorea), QStringLiteral("qtbase"), QStringLiteral("_"),
                         qtTranslationsPath()))
        QApplication::installTranslator(translator);

    addCarriedFonts();
    const QString gulim = hangulFont();
    if (gulim.isEmpty()) {
        reportNoHangulFont();
    } else if (gulim != QStringLiteral("굴림")) {
        QFont::insertSubstitution(QStringLiteral("굴림"), gulim);
    }

    app.setStyle(new GameStyle);
    // Styles keep what they draw in Qt's pixmap cache, which then trims
    // itself on a timer for a minute or two after each drawing: the game
    // would wake while nothing happens. Its few small windows draw as fast
    // without it.
    QPixmapCache::setCacheLimit(0);
}

}  // namespace vorarid
